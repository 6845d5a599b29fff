"""The guides (Markdown, as a hosting page shows them) as plain text for
the zip's README.txt, which Windows users read in Notepad: headings
underlined, code blocks indented, tables in aligned columns, links and
emphasis reduced to their words, pictures left out. A passage between
`<!-- developers -->` and `<!-- /developers -->` is for those who build
the program (the virtual port, the tests) and is left out too."""
import re

DEVELOPERS_ONLY = re.compile(r"<!-- developers -->.*?<!-- /developers -->\n?", re.S)
UNDERLINES = {1: "=", 2: "-", 3: "~"}
PICTURE = re.compile(r"!\[[^\]]*\]\([^)]*\)")
LINK = re.compile(r"\[([^\]]+)\]\([^)]*\)")
STRONG = re.compile(r"\*\*(\S(?:.*?\S)?)\*\*", re.S)
EMPHASIS = re.compile(r"(?<![\w*])\*(\S(?:[^*]*?\S)?)\*(?![\w*])")


def words(line):
    """A line's inline Markdown reduced to what it says."""
    line = PICTURE.sub("", line)
    line = LINK.sub(r"\1", line)
    line = STRONG.sub(r"\1", line)
    line = EMPHASIS.sub(r"\1", line)
    return line.replace("`", "")


def table_cells(line):
    return [words(cell.strip()) for cell in line.strip().strip("|").split("|")]


def columns(rows):
    """Rows of cells in columns as wide as their widest cell."""
    widths = [max(len(row[i]) if i < len(row) else 0 for row in rows) for i in range(len(rows[0]))]
    return ["  " + "  ".join(cell.ljust(width) for cell, width in zip(row, widths)).rstrip() for row in rows]


def is_rule_row(line):
    return set(line.replace("|", "").strip()) <= set("-: ") and "-" in line


def plain_text(markdown):
    """The guide's text as plain text, ending in one newline."""
    out = []
    prose = []  # lines of running text: links and emphasis may span them

    def end_prose():
        if prose:
            out.extend(line.rstrip() for line in words("\n".join(prose)).split("\n"))
            prose.clear()

    lines = DEVELOPERS_ONLY.sub("", markdown).split("\n")
    i = 0
    while i < len(lines):
        line = lines[i]
        heading = re.match(r"(#{1,3}) (.*)", line)
        if line.startswith("```"):
            end_prose()
            i += 1
            while i < len(lines) and not lines[i].startswith("```"):
                out.append(("  " + lines[i]).rstrip())
                i += 1
        elif heading:
            end_prose()
            title = words(heading.group(2))
            out += [title, UNDERLINES[len(heading.group(1))] * len(title)]
        elif line.startswith("|"):
            end_prose()
            rows = []
            while i < len(lines) and lines[i].startswith("|"):
                if not is_rule_row(lines[i]):
                    rows.append(table_cells(lines[i]))
                i += 1
            out += columns(rows)
            continue
        elif line.strip() and not PICTURE.sub("", line).strip():
            pass  # a line of pictures only
        else:
            prose.append(line)
        i += 1
    end_prose()
    text = re.sub(r"\n{3,}", "\n\n", "\n".join(out)).strip("\n")
    return text + "\n"


def section(markdown, title):
    """The `## title` section of a Markdown text, heading included."""
    match = re.search(rf"^## {re.escape(title)}\n.*?(?=^## |\Z)", markdown, re.S | re.M)
    if not match:
        raise KeyError(title)
    return match.group(0)
