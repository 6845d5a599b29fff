#!/usr/bin/env python3
"""Fails unless each Windows program given carries the application manifest
it should (resource type 24, id 1): run as the invoking user, declared for
every Windows from Vista to 10/11, no Common Controls 6 (the layout is drawn
for the classic controls), and for a windowed program aware of each
monitor's DPI (the window scales itself; Windows must not stretch it). A
console program draws no window of its own: the console does."""
import sys
import xml.etree.ElementTree as ElementTree

from pe_image import RT_MANIFEST, PeError, PeImage

SUPPORTED_OS = {
    "{e2011457-1546-43c5-a5fe-008deee3d3f0}": "Vista",
    "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}": "7",
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}": "8",
    "{1f676c76-80e1-4239-95bb-83d0f6d0da78}": "8.1",
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}": "10 and 11",
}


# What each DPI setting must say: per-monitor where Windows knows it, the
# system's scale on Vista and 7.
DPI_SETTINGS = {"dpiAware": "true/pm", "dpiAwareness": "PerMonitorV2, PerMonitor"}


def local(tag):
    return tag.rsplit("}", 1)[-1]


WINDOWED = 2  # the PE header's subsystem of a program with windows of its own


def manifest_problems(text, windowed=True):
    """What is wrong with the manifest `text` (bytes), as a list of texts."""
    try:
        root = ElementTree.fromstring(text)
    except ElementTree.ParseError as e:
        return [f"not well-formed XML: {e}"]
    elements = list(root.iter())
    problems = []
    if local(root.tag) != "assembly":
        problems.append(f"root element is {local(root.tag)}, not assembly")
    levels = [e.get("level") for e in elements if local(e.tag) == "requestedExecutionLevel"]
    if levels != ["asInvoker"]:
        problems.append(f"requestedExecutionLevel is {levels or 'missing'}, not asInvoker")
    declared = {(e.get("Id") or "").lower() for e in elements if local(e.tag) == "supportedOS"}
    for guid, windows in SUPPORTED_OS.items():
        if guid not in declared:
            problems.append(f"no supportedOS for Windows {windows}")
    for e in elements:
        if local(e.tag) == "dependency":
            problems.append("depends on another assembly (Common Controls 6 would theme the controls)")
    for name, wanted in DPI_SETTINGS.items() if windowed else ():
        said = [(e.text or "").strip() for e in elements if local(e.tag) == name]
        if said != [wanted]:
            problems.append(f"{name} is {said or 'missing'}, not {wanted!r}: Windows would stretch the window")
    return problems


def main(programs):
    failed = False
    for program in programs:
        try:
            image = PeImage(program)
            windowed = image.subsystem == WINDOWED
            manifest = image.resource(RT_MANIFEST, 1)
            problems = ["no manifest resource 1"] if manifest is None else manifest_problems(manifest, windowed)
        except (OSError, PeError) as e:
            problems = [str(e)]
        for problem in problems:
            print(f"{program}: manifest: {problem}", file=sys.stderr)
        if not problems:
            print(f"{program}: manifest asInvoker, Windows Vista to 11, classic controls, " +
                  ("per-monitor DPI-aware" if windowed else "a console program"))
        failed |= bool(problems)
    return 1 if failed else 0


if __name__ == "__main__":
    if len(sys.argv) < 2:
        sys.exit(f"usage: {sys.argv[0]} program.exe...")
    sys.exit(main(sys.argv[1:]))
