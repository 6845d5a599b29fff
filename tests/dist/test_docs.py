#!/usr/bin/env python3
"""The README and the guides in docs/: every link leads somewhere, the front
page stays short, and the plain text the zip's README.txt is made of says
what the Markdown says."""
import re
import sys
import unittest
from pathlib import Path

TOP = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(TOP / "dist"))
from guide_text import plain_text, section  # noqa: E402

PAGES = [TOP / "README.md"] + sorted((TOP / "docs").glob("*.md"))
FENCE = re.compile(r"^```.*?^```", re.S | re.M)
LINK = re.compile(r"!?\[[^\]]*\]\(([^)\s]+)\)")
FRONT_PAGE_MOST_LINES = 200


def slug(heading):
    """A heading's anchor as hosting pages make it: lower case, spaces to
    hyphens, punctuation dropped."""
    return re.sub(r"[^\w\- ]", "", heading.strip().lower()).replace(" ", "-")


def anchors(page):
    return {slug(h) for h in re.findall(r"^#{1,6} (.*)$", FENCE.sub("", page.read_text()), re.M)}


def links(page):
    return LINK.findall(FENCE.sub("", page.read_text()))


class Links(unittest.TestCase):
    def test_every_link_leads_to_a_file_or_heading_that_is_there(self):
        broken = []
        for page in PAGES:
            for target in links(page):
                if re.match(r"[a-z]+:", target):
                    continue  # an address outside the repository
                path, _, anchor = target.partition("#")
                goal = (page.parent / path).resolve() if path else page
                if not goal.exists():
                    broken.append(f"{page.name}: {target} (no such file)")
                elif anchor and (goal.suffix != ".md" or anchor not in anchors(goal)):
                    broken.append(f"{page.name}: {target} (no such heading)")
        self.assertEqual(broken, [])

    def test_the_front_page_links_every_guide(self):
        linked = {(TOP / target).resolve() for target in links(TOP / "README.md")}
        for guide in PAGES[1:]:
            self.assertIn(guide.resolve(), linked, guide.name)

    def test_the_front_page_is_short(self):
        lines = (TOP / "README.md").read_text().count("\n")
        self.assertLessEqual(lines, FRONT_PAGE_MOST_LINES)

    def test_the_slug_is_the_hosting_pages(self):
        self.assertEqual(slug("What PortCheck touches, and what it does not"),
                         "what-portcheck-touches-and-what-it-does-not")
        self.assertEqual(slug("When the port library can't reach the port"),
                         "when-the-port-library-cant-reach-the-port")


class PlainText(unittest.TestCase):
    def test_headings_are_underlined_by_level(self):
        self.assertEqual(plain_text("# Guide\n\n## A part\n"), "Guide\n=====\n\nA part\n------\n")

    def test_links_and_emphasis_keep_their_words_also_across_lines(self):
        text = plain_text("see [When the port library can't reach the\nport](driver.md), *Run as\nadministrator* and **Set** with `0x378`\n")
        self.assertEqual(text, "see When the port library can't reach the\nport, Run as\nadministrator and Set with 0x378\n")

    def test_a_star_that_is_no_emphasis_stays(self):
        self.assertEqual(plain_text("8 * 3 and a*b\n"), "8 * 3 and a*b\n")

    def test_code_blocks_are_indented_as_they_are(self):
        self.assertEqual(plain_text("Run:\n\n```sh\nPortCheck --list   # *all* [ports]\n```\n"),
                         "Run:\n\n  PortCheck --list   # *all* [ports]\n")

    def test_tables_become_aligned_columns(self):
        table = "| lamp | pin |\n|---|---|\n| `DI1` | 10 |\n| DO2 to DO9 | 2 to 9 |\n"
        self.assertEqual(plain_text(table), "  lamp        pin\n  DI1         10\n  DO2 to DO9  2 to 9\n")

    def test_pictures_and_developers_passages_are_left_out(self):
        markdown = ("Before.\n\n![The panel](a.png) ![Another](b.png)\n\n<!-- developers -->\n"
                    "`scripts/port-console` drives it.\n<!-- /developers -->\n\nAfter.\n")
        self.assertEqual(plain_text(markdown), "Before.\n\nAfter.\n")

    def test_a_section_runs_to_the_next_of_its_level(self):
        page = "# T\n\n## One\n\nfirst\n\n### Inner\n\nstill\n\n## Two\n\nsecond\n"
        self.assertEqual(section(page, "One"), "## One\n\nfirst\n\n### Inner\n\nstill\n\n")
        with self.assertRaises(KeyError):
            section(page, "Three")


if __name__ == "__main__":
    unittest.main()
