"""Checks the PDFs of `zqwcce-cli pdf` by reading them back with poppler's
tools: every print row of the card on its page, in its layout column and in
order; suits as real characters; fonts embedded; the notes with their page
sets, page numbers, brown sticker heading, last line and wrapped lines.

usage: pdf_test.py ZQWCCE_CLI TEMPLATE FIXTURE_DIR
"""
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

cli, template, fixtures = sys.argv[1:4]
failures = []
SUITS = {5: "\u2663", 4: "\u2666", 3: "\u2665", 6: "\u2660"}
XHTML = "{http://www.w3.org/1999/xhtml}"


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAIL:", what)


def run(*args):
    result = subprocess.run([cli, *args], capture_output=True, timeout=120)
    return result.returncode, result.stdout.decode(), result.stderr.decode()


def tool(*args):
    return subprocess.run(args, capture_output=True, check=True, timeout=120).stdout.decode()


def words_by_page(pdf):
    """[(page width, page height, [(text, xMin, yMin, xMax), ...]), ...]"""
    root = ET.fromstring(tool("pdftotext", "-bbox-layout", pdf, "-"))
    pages = []
    for page in root.iter(XHTML + "page"):
        words = [(w.text or "", float(w.get("xMin")), float(w.get("yMin")), float(w.get("xMax")))
                 for w in page.iter(XHTML + "word")]
        pages.append((float(page.get("width")), float(page.get("height")), words))
    return pages


def page_texts(pdf):
    return tool("pdftotext", "-layout", pdf, "-").split("\f")[:-1]


def shown(text):
    """Card text as the PDF should read: suit codes as suit characters."""
    return "".join(SUITS.get(ord(c), c) for c in text)


def print_rows(shape, answers, open_bids=True):
    """The card's print rows in print order, each as the first text it
    shows (None for rows that show nothing), and the last row of page 1."""
    groups, sections = shape["groups"], shape["sections"]
    lines, columns = shape["lines"], shape["columns"]
    card_lines = answers["lines"]
    rows = [None] * 4
    last_first_page = None
    openings_group = len(groups) - 3

    def line_rows(first, count):
        for index in range(first, first + count):
            for n, row in enumerate(card_lines[index - 1].get("rows", [])):
                yield index, n, row

    for gi, group in enumerate(groups):
        if gi > 0 and last_first_page is None and gi < len(groups) - 1:
            rows.append(group["name"])
        for k in range(group["sectionCount"]):
            section = sections[group["firstSection"] + k]
            count = section["columnCount"]
            if last_first_page is None and count > 4:
                last_first_page = 3 if gi == 0 and k == 0 else len(rows)
            if gi > 0 or k > 0:
                rows.append(section["name"])
            if count > 0:
                if section["hasHeadings"]:
                    heads = [columns[section["firstColumn"] + j]["heading"] for j in range(count)]
                    rows.append(next((h for h in heads if h), None))
                for index, n, row in line_rows(section["firstLine"], section["lineCount"]):
                    if count == 1:
                        cells = [row["text"]]
                    else:
                        fields = row["text"].split("\t")
                        label_shown = n == 0 or (open_bids and section["groupIndex"] == openings_group)
                        cells = [lines[index]["label"] if label_shown else ""] + \
                                [fields[j] if j < len(fields) - 1 else "" for j in range(1, count)]
                    rows.append(next((shown(c) for c in cells if c.strip()), None))
            if section["hasGrid2"]:
                for index, n, row in line_rows(section["firstLine2"], section["lineCount2"]):
                    label = lines[index]["label"] if n == 0 else ""
                    rows.append(next((shown(c) for c in (label, row["text"]) if c.strip()), None))
    return rows, (len(rows) if last_first_page is None else last_first_page)


def find_in_order(words, probes, x_range, where):
    """Each probe's first word must appear inside x_range, below the one
    before it."""
    top = -1.0
    for number, probe in probes:
        first = probe.split()[0]
        found = [y for text, x, y, _ in words
                 if text == first and x_range[0] <= x < x_range[1] and y > top + 0.5]
        if not found:
            check(False, f"{where}: row {number} ({probe!r}) not found below y={top:.1f}")
            return
        top = min(found)


def check_card_layout(pdf, rows, last_first_page, columns, margin_pt):
    pages = words_by_page(pdf)
    check(len(pages) == 2, f"{pdf}: {len(pages)} pages, expected 2")
    if len(pages) != 2:
        return
    width = pages[0][0]
    printable = width - 2 * margin_pt
    column_width = printable / columns
    per_column, left_over = divmod(last_first_page, columns)
    first = 1
    for i in range(columns):  # from the right
        count = per_column + (1 if i >= columns - left_over else 0)
        left = margin_pt + (columns - 1 - i) * column_width
        probes = [(n, rows[n - 1]) for n in range(first, first + count) if rows[n - 1]]
        find_in_order(pages[0][2], probes, (left - 1, left + column_width - 1),
                      f"page 1 column {i + 1} from the right")
        first += count
    probes = [(n, rows[n - 1]) for n in range(last_first_page + 1, len(rows) + 1) if rows[n - 1]]
    find_in_order(pages[1][2], probes, (0, width), "page 2")
    # Each page holds only its own rows' headings.
    page2 = " ".join(w[0] for w in pages[1][2])
    check("Partnership" not in page2, "page 2 shows a first-page section")


with tempfile.TemporaryDirectory() as work:
    for name in ("filled.ccf", "filled-notes.txt"):
        shutil.copy(os.path.join(fixtures, name), work)
    card = os.path.join(work, "filled.ccf")
    out = lambda name: os.path.join(work, name)  # noqa: E731

    shape = json.loads(run("template", template)[1])
    answers = json.loads(run("card", template, card)[1])
    rows, last_first_page = print_rows(shape, answers)
    check(rows[last_first_page - 1] == "Openings", f"row P is {rows[last_first_page - 1]!r}")

    # Defaults: A4 landscape, three layout columns, margins of 0.25 inch.
    rc, _, err = run("pdf", template, card, out("card.pdf"))
    check(rc == 0 and err == "", f"pdf: exit {rc}, stderr {err!r}")
    check_card_layout(out("card.pdf"), rows, last_first_page, 3, 18)
    texts = page_texts(out("card.pdf"))
    check("ZQW Convention Card 2.19" in texts[0], "title on page 1")
    for needle in ("1\u2663", "2\u2666", "4\u2665", "1\u2660", "Note#12"):
        check(needle in texts[1], f"page 2 lacks {needle!r}")
    check("2\u2663" in texts[0] and "Note#3" in texts[0], "page 1 lacks its suits or notes")
    check(not re.search(r"[\[\]{}]", "".join(texts)), "a suit came out as a bracket")
    fonts = tool("pdffonts", out("card.pdf")).splitlines()[2:]
    check(any(f.startswith("CardArial") for f in fonts), f"CardArial not used: {fonts}")
    check(all(f.split()[-5] == "yes" for f in fonts), f"a font is not embedded: {fonts}")
    with open(out("card.pdf"), "rb") as f:
        raw = f.read()
    contents = re.findall(rb"/Contents (\d+) 0 R", raw)
    check(len(contents) == 2, "page contents not found")
    for number in contents:
        header = re.search(rb"\n" + number + rb" 0 obj\s*<<(.*?)>>", raw, re.S)
        check(header and b"/FlateDecode" in header.group(1), "page content is not compressed")

    # Other settings: one layout column, wider margins, suits as letters.
    with open(out("one.ini"), "w") as f:
        f.write("[setup]\r\ncolumns=0\r\nunit=1\r\nleftm=1270\r\nrightm=1270\r\nBitMap=1\r\n")
    rc, _, _ = run("pdf", template, card, out("one.pdf"), "--settings", out("one.ini"))
    check(rc == 0, "pdf with settings")
    check_card_layout(out("one.pdf"), rows, last_first_page, 1, 12.7 / 25.4 * 72)

    # Pictures: no suit characters in the text, the rest of the caption kept.
    with open(out("pictures.ini"), "w") as f:
        f.write("[setup]\r\nBitMap=0\r\n")
    rc, _, _ = run("pdf", template, card, out("pictures.pdf"), "--settings", out("pictures.ini"))
    texts = page_texts(out("pictures.pdf"))
    check(rc == 0 and not any(s in "".join(texts) for s in SUITS.values()),
          "pictures mode printed suit characters")
    check("Both majors (Landy)" in texts[0], "pictures mode lost text")

    for page, expect, absent in (("1", "ZQW Convention Card", "Opening bids"),
                                 ("2", "Opening bids", "ZQW Convention Card")):
        rc, _, _ = run("pdf", template, card, out(f"p{page}.pdf"), "--page", page)
        texts = page_texts(out(f"p{page}.pdf"))
        check(rc == 0 and len(texts) == 1, f"--page {page}: {len(texts)} pages")
        check(expect in texts[0] and absent not in texts[0], f"--page {page} content")

    # Notes: defaults start a page set at the brown sticker note.
    rc, _, err = run("pdf", template, card, out("c.pdf"), "--notes", out("notes.pdf"))
    check(rc == 0, f"--notes: exit {rc} {err}")
    texts = page_texts(out("notes.pdf"))
    check(len(texts) == 2, f"notes: {len(texts)} pages")
    check(texts[0].lstrip().startswith("Supplementary notes file (filled-notes.txt) Natural, "
                                      "strong 1NT, 5-card majors (Alice Marlow & Ben Okafor)"),
          f"notes title: {texts[0][:120]!r}")
    check("Brown sticker conventions: Natural, strong 1NT" in texts[1], "no brown sticker header")
    check(all(re.search(r"page 1 of 1\s*$", t) for t in texts), "page numbers do not restart")
    with open(os.path.join(fixtures, "filled-notes.txt"), encoding="cp1252") as f:
        source = f.read()
    table = str.maketrans({"}": "\u2663", "{": "\u2666", "]": "\u2665", "[": "\u2660"})
    expected_words = source.translate(table).split()
    printed = " ".join(texts)
    printed_words = printed.split()
    # Every word of the notes, in order, the last line too; long lines wrap.
    position = 0
    for word in expected_words:
        try:
            position = printed_words.index(word, position) + 1
        except ValueError:
            check(False, f"notes word {word!r} missing or out of order")
            break
    check(expected_words[-1] == "event." and "before the event." in printed, "last notes line")
    notes_words = words_by_page(out("notes.pdf"))
    check(all(word[3] <= page[0] - 17 for page in notes_words for word in page[2]),
          "notes text runs into the right margin")

    # A note heading on every page set, a set of two pages, a long line.
    long_line = " ".join(f"word{n}" for n in range(400))
    notes_text = ["Notes", "Note:..1: one"] + [f"line {n}" for n in range(120)] + \
                 ["Note:..2: two", long_line, "Note:..999: brown", "last line"]
    with open(out("many.txt"), "wb") as f:
        f.write("\r\n".join(notes_text).encode("cp1252"))
    with open(card, "rb") as f:
        card_bytes = f.read().split(b"\r\n", 1)[1]
    with open(out("many.ccf"), "wb") as f:
        f.write(b"ZQW1.0many.txt\r\n" + card_bytes)
    with open(out("newnote.ini"), "w") as f:
        f.write("[setup]\r\nNewNote=1\r\n")
    rc, _, err = run("pdf", template, out("many.ccf"), out("m.pdf"), "--settings",
                     out("newnote.ini"), "--notes", out("many.pdf"))
    check(rc == 0, f"many notes: {rc} {err}")
    texts = page_texts(out("many.pdf"))
    positions = [re.search(r"page (\d+) of (\d+)\s*$", t).groups() for t in texts]
    check(positions == [("1", "2"), ("2", "2"), ("1", "1"), ("1", "1")], f"pages: {positions}")
    check(texts[2].split()[0] == "Note:..2:" and texts[3].split()[0] == "Note:..999:",
          "headings do not start their pages")
    check("Brown sticker" not in "".join(texts), "brown header with On new Note")
    words = " ".join(texts[2].split())
    check(long_line in words, "long line not complete")
    check("last line" in texts[3], "last line missing")

    # Failures: one line on stderr and exit 2.
    for args, what in (
        (("pdf", out("none.sel"), card, out("x.pdf")), "template"),
        (("pdf", template, out("none.ccf"), out("x.pdf")), "card"),
        (("pdf", template, card, os.path.join(work, "no", "x.pdf")), "output"),
        (("pdf", template, card, out("x.pdf"), "--settings", out("none.ini")), "settings"),
        (("pdf", template, card, out("x.pdf"), "--page", "3"), "usage"),
    ):
        rc, _, err = run(*args)
        check(rc == 2 and len(err.strip().splitlines()) == 1, f"{what}: exit {rc}, {err!r}")
    check(not os.path.exists(out("x.pdf")), "a failed run left a PDF")

if failures:
    print(f"{len(failures)} check(s) failed")
    sys.exit(1)
print("pdf checks passed")
