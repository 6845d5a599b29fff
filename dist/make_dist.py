#!/usr/bin/env python3
"""Makes the release zip Tarnwick-<version>-win32.zip: the programs of the
32-bit product build byte for byte, the texts for Windows users with CRLF
line ends, and their SHA-256 sums. Reproducible: the same inputs give the
same bytes (fixed timestamps, attributes and order). Never a port library."""
import argparse
import hashlib
import os
import sys
import tempfile
import zipfile
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE.parent / "scripts"))
from pe_image import PeError, PeImage  # noqa: E402
from guide_text import plain_text, section  # noqa: E402

# What the zip holds, in this order, then SHA256SUMS.txt.
PROGRAMS = ["Tarnwick.exe", "PortCheck.exe"]  # from the product build's bin/
README = "README.txt"
SUMS = "SHA256SUMS.txt"

# README.txt: the front page's words for Windows users, then the guides for
# users, as plain text. The developers' guides stay out of the zip.
FRONT_PAGE = HERE.parent / "README.md"
FRONT_SECTIONS = ["Getting started on a Windows PC", "What is in the zip"]
USER_GUIDES = ["panel.md", "portcheck.md", "watch.md", "driver.md"]  # in docs/, in this order
DOCS = HERE.parent / "docs"

# The zip format's first date: no build time in the zip.
FIXED_TIME = (1980, 1, 1, 0, 0, 0)
ARCHIVE_ATTRIBUTE = 0x20  # a plain file, as Windows' own zip folders write it


class DistError(Exception):
    pass


def zip_name(version):
    return f"Tarnwick-{version}-win32.zip"


def windows_text(text):
    return text.replace("\r\n", "\n").replace("\n", "\r\n").encode("utf-8")


def readme_text(version):
    front = FRONT_PAGE.read_text(encoding="utf-8")
    intro = front.split("\n## ", 1)[0].split("\n", 1)[1]  # below the title, above the first section
    parts = [f"# Tarnwick {version} - parallel port digital I/O panel\n{intro}"]
    parts += [section(front, title) for title in FRONT_SECTIONS]
    parts += [(DOCS / name).read_text(encoding="utf-8") for name in USER_GUIDES]
    return "\n\n".join(plain_text(part) for part in parts)


def contents(bin_dir, version):
    """[(name in the zip, bytes)] in the zip's order."""
    files = []
    for name in PROGRAMS:
        path = Path(bin_dir) / name
        if not path.is_file():
            raise DistError(f"{path} is missing: build the product first (make)")
        try:
            machine = PeImage(path).machine
        except PeError as e:
            raise DistError(str(e)) from e
        if machine != "i386":
            raise DistError(f"{path} is a {machine} program, not the 32-bit product")
        files.append((name, path.read_bytes()))
    files.append((README, windows_text(readme_text(version))))
    sums = "".join(f"{hashlib.sha256(data).hexdigest()}  {name}\n" for name, data in files)
    files.append((SUMS, windows_text(sums)))
    return files


def write_zip(path, files):
    """Writes the zip beside its final place and then moves it there, so a
    failed run leaves no half-written zip."""
    path.parent.mkdir(parents=True, exist_ok=True)
    handle, temporary = tempfile.mkstemp(dir=path.parent, suffix=".part")
    os.close(handle)
    try:
        with zipfile.ZipFile(temporary, "w") as archive:
            for name, data in files:
                info = zipfile.ZipInfo(name, date_time=FIXED_TIME)
                info.compress_type = zipfile.ZIP_DEFLATED
                info.create_system = 0  # MS-DOS attributes, as Windows expects
                info.external_attr = ARCHIVE_ATTRIBUTE
                archive.writestr(info, data, compresslevel=9)
        umask = os.umask(0)
        os.umask(umask)
        os.chmod(temporary, 0o666 & ~umask)  # as an ordinary new file, not mkstemp's 0600
        os.replace(temporary, path)
    except BaseException:
        os.unlink(temporary)
        raise


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--bin", required=True, help="the 32-bit product build's bin folder")
    parser.add_argument("--version", required=True)
    parser.add_argument("--out", required=True, help="folder for the zip")
    args = parser.parse_args()
    if not args.version or any(c in args.version for c in '/\\:*?"<>| '):
        print(f"make_dist: unusable version {args.version!r}", file=sys.stderr)
        return 1
    path = Path(args.out) / zip_name(args.version)
    try:
        files = contents(args.bin, args.version)
        write_zip(path, files)
    except (DistError, OSError) as e:
        print(f"make_dist: {e}", file=sys.stderr)
        return 1
    print(f"{path}: {', '.join(name for name, _ in files)} ({path.stat().st_size} bytes)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
