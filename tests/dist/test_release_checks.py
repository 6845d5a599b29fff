"""The checks that the shipped program starts on Windows XP SP3 and carries
its manifest: they pass on the built program, and each fails on the fault
it is there to catch."""
import importlib
import os
import re
import shutil
import struct
import subprocess
import sys
import unittest
from pathlib import Path

SOURCE = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(SOURCE / "scripts"))
import pe_image  # noqa: E402
from pe_image import PeImage  # noqa: E402

check_manifest = importlib.import_module("check-manifest")

PRODUCT = Path(os.environ["TARNWICK_PRODUCT_BIN"]) / "Tarnwick.exe"
TWIN = Path(os.environ["TARNWICK_TWIN_EXE"])
VPORT_LIBRARY = Path(os.environ["TARNWICK_VPORT_LIBRARY"])
WORK = Path(os.environ["TARNWICK_TEST_WORK"])
IMPORTS = SOURCE / "dist" / "imports.txt"
# Where 32-bit programs run here, this build is the product: no x86_64 twin.
NO_TWIN = PeImage(TWIN).machine != "x86_64"


def run(script, *args):
    return subprocess.run([sys.executable, "-B", str(SOURCE / "scripts" / script), *map(str, args)],
                          capture_output=True, text=True)


def fresh(name):
    path = WORK / name
    shutil.rmtree(path, ignore_errors=True)
    path.mkdir(parents=True)
    return path


class PeReader(unittest.TestCase):
    def test_imports_are_those_objdump_reads(self):
        listing = subprocess.run(["i686-w64-mingw32-objdump", "-p", str(PRODUCT)],
                                 capture_output=True, text=True, check=True).stdout
        theirs, dll = set(), None
        for line in listing.splitlines():
            named = re.match(r"\s*DLL Name: (\S+)", line)
            if named:
                dll = named.group(1)
            entry = re.match(r"\s+[0-9a-f]+\s+\d+\s+(\S+)$", line)
            if dll and entry:
                theirs.add((dll, entry.group(1)))
        ours = PeImage(PRODUCT).imports()
        self.assertGreater(len(ours), 50)
        self.assertEqual(set(ours), theirs)

    def test_a_file_that_is_no_program_is_refused(self):
        text = fresh("not-a-program") / "README.exe"
        text.write_text("MZ but nothing else")
        with self.assertRaises(pe_image.PeError):
            PeImage(text)


class ImportCheck(unittest.TestCase):
    def list_without(self, name, *, replace=None):
        """A copy of the list without the entry for `name`, or with that
        entry's Windows replaced."""
        lines = IMPORTS.read_text().splitlines()
        entry = [line for line in lines if line.split()[1:2] == [name]]
        self.assertEqual(len(entry), 1, name)
        changed = [] if replace is None else [re.sub(r"\S+$", replace, entry[0])]
        path = fresh(f"list-{name}-{replace}") / "imports.txt"
        path.write_text("\n".join([line for line in lines if line != entry[0]] + changed) + "\n")
        return path

    def test_the_product_passes(self):
        result = run("check-imports-list.py", "--list", IMPORTS, PRODUCT)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertIn("starts on Windows XP SP3", result.stdout)

    def test_an_import_missing_from_the_list_fails(self):
        result = run("check-imports-list.py", "--list", self.list_without("GetProcAddress"), PRODUCT)
        self.assertEqual(result.returncode, 1)
        self.assertIn("imports KERNEL32.dll GetProcAddress, which the list lacks", result.stderr)

    def test_an_entry_newer_than_xp_sp3_fails(self):
        for newer in ("Vista", "7", "10"):
            result = run("check-imports-list.py", "--list", self.list_without("SetTimer", replace=newer), PRODUCT)
            self.assertEqual(result.returncode, 1, newer)
            self.assertIn(f"SetTimer needs Windows {newer}, newer than XP SP3", result.stderr)

    def test_an_unknown_windows_or_a_malformed_line_fails(self):
        unknown = run("check-imports-list.py", "--list", self.list_without("SetTimer", replace="ME"), PRODUCT)
        self.assertEqual(unknown.returncode, 1)
        self.assertIn("unknown Windows 'ME'", unknown.stderr)
        malformed = fresh("list-malformed") / "imports.txt"
        malformed.write_text(IMPORTS.read_text() + "USER32.dll SetTimer\n")
        result = run("check-imports-list.py", "--list", malformed, PRODUCT)
        self.assertEqual(result.returncode, 1)
        self.assertIn("want 'DLL function oldest-Windows'", result.stderr)

    def test_a_header_asking_for_a_newer_windows_fails(self):
        optional = PeImage(PRODUCT).optional_header
        for what, offset in (("operating system", 40), ("subsystem", 48)):
            data = bytearray(PRODUCT.read_bytes())
            struct.pack_into("<HH", data, optional + offset, 6, 0)
            patched = fresh(f"header-{offset}") / "Tarnwick.exe"
            patched.write_bytes(data)
            result = run("check-imports-list.py", "--list", IMPORTS, patched)
            self.assertEqual(result.returncode, 1, what)
            self.assertIn(f"asks for {what} version 6.0, newer than XP's 5.1", result.stderr)

    @unittest.skipIf(NO_TWIN, "no x86_64 build here")
    def test_every_program_given_is_checked(self):
        # The x86_64 twin imports what the 32-bit runtime doesn't, and asks
        # for Windows 5.2: the product passing doesn't hide it.
        result = run("check-imports-list.py", "--list", IMPORTS, PRODUCT, TWIN)
        self.assertEqual(result.returncode, 1)
        self.assertIn(f"{PRODUCT}: ", result.stdout)
        self.assertNotIn(str(PRODUCT), result.stderr)
        self.assertIn(f"{TWIN}: PE header asks for subsystem version 5.2", result.stderr)

    def test_exact_fails_on_an_entry_that_no_program_imports(self):
        stale = fresh("list-stale") / "imports.txt"
        stale.write_text(IMPORTS.read_text() + "KERNEL32.dll   Beep                     XP\n")
        result = run("check-imports-list.py", "--exact", "--list", stale, PRODUCT, PRODUCT.with_name("PortCheck.exe"))
        self.assertEqual(result.returncode, 1)
        self.assertIn("Beep is imported by none of the programs", result.stderr)
        self.assertEqual(run("check-imports-list.py", "--list", stale, PRODUCT).returncode, 0, "only with --exact")

    def test_dlls_only_passes_a_program_of_windows_dlls_and_fails_any_other_dll(self):
        self.assertEqual(run("check-imports-list.py", "--dlls-only", "--list", IMPORTS, PRODUCT).returncode, 0)
        # A list that lacks every GDI32 entry stands for a program that imports a DLL of its own.
        lines = [line for line in IMPORTS.read_text().splitlines() if not line.upper().startswith("GDI32")]
        without_gdi = fresh("list-no-gdi32") / "imports.txt"
        without_gdi.write_text("\n".join(lines) + "\n")
        result = run("check-imports-list.py", "--dlls-only", "--list", without_gdi, PRODUCT)
        self.assertEqual(result.returncode, 1)
        self.assertIn("imports GDI32.dll, which is not one of Windows' own DLLs in the list", result.stderr)

    def test_a_missing_program_or_list_fails(self):
        self.assertEqual(run("check-imports-list.py", "--list", IMPORTS, WORK / "none.exe").returncode, 1)
        result = run("check-imports-list.py", "--list", WORK / "none.txt", PRODUCT)
        self.assertEqual(result.returncode, 1)
        self.assertIn("cannot read the list", result.stderr)


class ManifestCheck(unittest.TestCase):
    def manifest(self):
        return PeImage(PRODUCT).resource(pe_image.RT_MANIFEST, 1).decode("utf-8")

    def test_both_builds_of_the_program_pass(self):
        result = run("check-manifest.py", PRODUCT, TWIN)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(check_manifest.manifest_problems(self.manifest().encode()), [])

    def test_a_console_program_needs_no_dpi_setting_and_a_windowed_one_does(self):
        without_dpi = re.sub(r"<application xmlns[^>]*>\s*<windowsSettings>.*?</application>", "", self.manifest(),
                             flags=re.S).encode()
        self.assertEqual(check_manifest.manifest_problems(without_dpi, windowed=False), [])
        self.assertEqual(len(check_manifest.manifest_problems(without_dpi, windowed=True)), 2)
        result = run("check-manifest.py", PRODUCT.with_name("PortCheck.exe"))
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertIn("a console program", result.stdout)

    def test_a_program_without_a_manifest_fails(self):
        result = run("check-manifest.py", VPORT_LIBRARY)
        self.assertEqual(result.returncode, 1)
        self.assertIn("no manifest resource 1", result.stderr)

    def test_each_fault_of_a_manifest_is_named(self):
        text = self.manifest()
        common_controls = ('<dependency><dependentAssembly><assemblyIdentity type="win32" '
                           'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"/>'
                           '</dependentAssembly></dependency></assembly>')
        faults = {
            "requestedExecutionLevel is ['requireAdministrator']": text.replace("asInvoker", "requireAdministrator"),
            "no supportedOS for Windows 8.1": text.replace("{1f676c76-80e1-4239-95bb-83d0f6d0da78}", "{}"),
            "depends on another assembly": text.replace("</assembly>", common_controls),
            "dpiAware is ['true'], not 'true/pm'": text.replace(">true/pm<", ">true<"),
            "dpiAwareness is missing": text.replace("dpiAwareness", "dpiAwarenessGone"),
            "not well-formed XML": text.replace("</assembly>", ""),
        }
        for fault, broken in faults.items():
            problems = check_manifest.manifest_problems(broken.encode())
            self.assertEqual(len(problems), 1, problems)
            self.assertIn(fault, problems[0])


if __name__ == "__main__":
    unittest.main()
