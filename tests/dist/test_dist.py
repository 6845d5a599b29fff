"""The release zip that `make dist` makes: what it holds, byte for byte the
same on every run, and no zip at all when its inputs are wrong."""
import hashlib
import os
import re
import shutil
import struct
import subprocess
import sys
import unittest
import zipfile
from pathlib import Path

SOURCE = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(SOURCE / "scripts"))
from pe_image import RT_VERSION, PeImage  # noqa: E402
sys.path.insert(0, str(SOURCE / "dist"))
from make_dist import DOCS, FRONT_SECTIONS, USER_GUIDES  # noqa: E402
from guide_text import DEVELOPERS_ONLY, words  # noqa: E402

PRODUCT_BIN = Path(os.environ["TARNWICK_PRODUCT_BIN"])
TWIN_BIN = Path(os.environ["TARNWICK_TWIN_EXE"]).parent
VERSION = os.environ["TARNWICK_VERSION"]
WORK = Path(os.environ["TARNWICK_TEST_WORK"])
ZIP_NAME = f"Tarnwick-{VERSION}-win32.zip"
# Where 32-bit programs run here, this build is the product: no x86_64 twin.
NO_TWIN = PeImage(TWIN_BIN / "Tarnwick.exe").machine != "x86_64"


def make_dist(out, bin_dir=PRODUCT_BIN, version=VERSION):
    shutil.rmtree(out, ignore_errors=True)
    return subprocess.run([sys.executable, "-B", str(SOURCE / "dist" / "make_dist.py"),
                           "--bin", str(bin_dir), "--version", version, "--out", str(out)],
                          capture_output=True, text=True)


class ReleaseZip(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        result = make_dist(WORK / "first")
        assert result.returncode == 0, result.stderr
        cls.path = WORK / "first" / ZIP_NAME
        with zipfile.ZipFile(cls.path) as archive:
            cls.infos = archive.infolist()
            cls.files = {info.filename: archive.read(info) for info in cls.infos}

    def test_it_holds_the_program_the_readme_and_their_sums_and_no_library(self):
        self.assertEqual([info.filename for info in self.infos],
                         ["Tarnwick.exe", "PortCheck.exe", "README.txt", "SHA256SUMS.txt"])
        self.assertFalse([name for name in self.files if name.lower().endswith(".dll")])

    def test_the_programs_are_the_product_byte_for_byte(self):
        for name in ("Tarnwick.exe", "PortCheck.exe"):
            self.assertEqual(self.files[name], (PRODUCT_BIN / name).read_bytes(), name)

    def test_the_texts_have_windows_line_ends(self):
        for name in ("README.txt", "SHA256SUMS.txt"):
            text = self.files[name]
            self.assertTrue(text.endswith(b"\r\n"), name)
            self.assertEqual(text.count(b"\n"), text.count(b"\r\n"), name)
            self.assertNotIn(b"\r\r", text, name)

    def test_the_readme_tells_a_windows_user_what_to_do(self):
        readme = self.files["README.txt"].decode("utf-8")
        for needed in (f"Tarnwick {VERSION}", "inpout32.dll", "NOT", "included", "side by side",
                       "Run as administrator", "Ports (COM & LPT)", "Resources", "I/O Range",
                       "0x378", "0x278", "Set", "Nothing is written to the port"):
            self.assertIn(needed, readme)
        self.assertNotIn("@VERSION@", readme)

    def test_the_readme_holds_every_section_of_the_guides_for_users(self):
        readme = self.files["README.txt"].decode("utf-8").replace("\r\n", "\n")
        headings = list(FRONT_SECTIONS)
        for guide in USER_GUIDES:
            markdown = DEVELOPERS_ONLY.sub("", (DOCS / guide).read_text(encoding="utf-8"))
            markdown = re.sub(r"^```.*?^```", "", markdown, flags=re.S | re.M)  # no headings in code
            headings += [words(line.lstrip("#").strip()) for line in markdown.splitlines()
                         if line.startswith("#")]
        self.assertGreater(len(headings), len(USER_GUIDES) * 2)
        missing = [h for h in headings if f"\n{h}\n" not in readme]
        self.assertEqual(missing, [])

    def test_the_readme_leaves_out_what_only_developers_need(self):
        readme = self.files["README.txt"].decode("utf-8")
        for developers_only in ("scripts/port-console", "<!--", "](", "```", "Layout of the code"):
            self.assertNotIn(developers_only, readme)

    def test_the_sums_are_those_of_the_files(self):
        lines = self.files["SHA256SUMS.txt"].decode("ascii").splitlines()
        self.assertEqual(lines, [f"{hashlib.sha256(self.files[name]).hexdigest()}  {name}"
                                 for name in ("Tarnwick.exe", "PortCheck.exe", "README.txt")])

    def test_another_run_gives_the_same_bytes(self):
        result = make_dist(WORK / "second")
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual((WORK / "second" / ZIP_NAME).read_bytes(), self.path.read_bytes())
        for info in self.infos:
            self.assertEqual(info.date_time, (1980, 1, 1, 0, 0, 0), info.filename)

    def test_the_program_carries_the_version_in_the_zips_name(self):
        resource = PeImage(PRODUCT_BIN / "Tarnwick.exe").resource(RT_VERSION, 1)
        fixed = resource.index(struct.pack("<I", 0xFEEF04BD))  # VS_FIXEDFILEINFO
        high, low = struct.unpack_from("<II", resource, fixed + 8)
        numbers = [high >> 16, high & 0xFFFF, low >> 16]
        self.assertEqual(".".join(map(str, numbers)), VERSION)
        self.assertIn(f"{VERSION}.0".encode("utf-16-le"), resource)  # FileVersion text


class WrongInputs(unittest.TestCase):
    def assert_fails_without_zip(self, result, out, message):
        self.assertEqual(result.returncode, 1)
        self.assertIn(message, result.stderr)
        self.assertEqual(list(out.glob("*")) if out.exists() else [], [])

    def test_no_program_built(self):
        empty = WORK / "empty-bin"
        empty.mkdir(parents=True, exist_ok=True)
        out = WORK / "out-missing"
        self.assert_fails_without_zip(make_dist(out, bin_dir=empty), out, "Tarnwick.exe is missing")

    @unittest.skipIf(NO_TWIN, "no x86_64 build here")
    def test_the_x86_64_twin_instead_of_the_product(self):
        out = WORK / "out-twin"
        self.assert_fails_without_zip(make_dist(out, bin_dir=TWIN_BIN), out,
                                      "is a x86_64 program, not the 32-bit product")

    def test_a_version_that_cannot_be_a_file_name(self):
        for version in ("", "1.0/2", "1 0"):
            out = WORK / "out-version"
            self.assert_fails_without_zip(make_dist(out, version=version), out, "unusable version")


if __name__ == "__main__":
    unittest.main()
