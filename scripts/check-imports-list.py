#!/usr/bin/env python3
"""Fails unless each Windows program given starts on Windows XP SP3: every
function it imports is in the list (dist/imports.txt) with a Windows no
newer than XP SP3, and its PE header asks for Windows 5.1 or older.

With --dlls-only (the programs built beside the product: the x86_64 twin,
the virtual port and its console) only the DLLs are checked: each must be
one the list names, all of them Windows' own, since the runtime libraries
are linked in and the port library is loaded at run time."""
import argparse
import sys
from pathlib import Path

from pe_image import PeError, PeImage

# Oldest first; the programs must start on XP SP3.
WINDOWS = ["2000", "XP", "XPSP1", "XPSP2", "XPSP3", "Vista", "7", "8", "8.1", "10", "11"]
OLDEST_TARGET = "XPSP3"
HEADER_LIMIT = (5, 1)


def read_list(path):
    """{(dll in lower case, function): oldest Windows}, and the problems
    with the list itself."""
    entries, problems = {}, []
    for number, line in enumerate(Path(path).read_text().splitlines(), 1):
        words = line.split("#", 1)[0].split()
        if not words:
            continue
        where = f"{path}:{number}"
        if len(words) != 3:
            problems.append(f"{where}: want 'DLL function oldest-Windows', got {line.strip()!r}")
            continue
        dll, function, windows = words
        if windows not in WINDOWS:
            problems.append(f"{where}: {function}: unknown Windows {windows!r} (one of {', '.join(WINDOWS)})")
        elif WINDOWS.index(windows) > WINDOWS.index(OLDEST_TARGET):
            problems.append(f"{where}: {dll} {function} needs Windows {windows}, newer than XP SP3")
        entries[(dll.lower(), function)] = windows
    return entries, problems


def check_program(image, entries):
    problems = []
    for what, version in (("operating system", image.os_version), ("subsystem", image.subsystem_version)):
        if version > HEADER_LIMIT:
            problems.append(f"{image.path}: PE header asks for {what} version "
                            f"{version[0]}.{version[1]}, newer than XP's 5.1")
    for dll, function in image.imports():
        if (dll.lower(), function) not in entries:
            problems.append(f"{image.path}: imports {dll} {function}, which the list lacks: "
                            "add it with the oldest Windows that has it")
    return problems


def check_dlls(image, entries):
    allowed = {dll for dll, _ in entries}
    others = sorted({dll for dll, _ in image.imports() if dll.lower() not in allowed})
    return [f"{image.path}: imports {dll}, which is not one of Windows' own DLLs in the list" for dll in others]


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--list", required=True, help="the list of allowed imports")
    parser.add_argument("--dlls-only", action="store_true", help="check only that every DLL is in the list")
    parser.add_argument("programs", nargs="+")
    args = parser.parse_args()
    try:
        entries, problems = read_list(args.list)
    except OSError as e:
        print(f"cannot read the list: {e}", file=sys.stderr)
        return 1
    for program in args.programs:
        try:
            image = PeImage(program)
            found = (check_dlls if args.dlls_only else check_program)(image, entries)
        except (OSError, PeError) as e:
            found = [str(e)]
        problems += found
        if not found:
            print(f"{program}: {len(image.imports())} imports, " +
                  ("from Windows' own DLLs only" if args.dlls_only else "all listed; starts on Windows XP SP3"))
    for problem in problems:
        print(problem, file=sys.stderr)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
