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


def check_single_column_order(pdf, rows):
    """One layout column: the card reads top to bottom, page after page,
    every row in order, none squeezed out."""
    pages = words_by_page(pdf)
    check(len(pages) > 2, f"{pdf}: {len(pages)} pages, the first part should continue")
    position = (-1, -1.0)
    for number, probe in ((n, rows[n - 1]) for n in range(1, len(rows) + 1) if rows[n - 1]):
        first = probe.split()[0]
        found = [(p, y) for p, (_, _, words) in enumerate(pages) for text, _, y, _ in words
                 if text == first and (p, y) > (position[0], position[1] + 0.5)]
        if not found:
            check(False, f"{pdf}: row {number} ({probe!r}) not found after {position}")
            return
        position = min(found)


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


def words_with_boxes(pdf):
    """[(page width, [(text, xMin, yMin, xMax, yMax), ...]), ...]"""
    root = ET.fromstring(tool("pdftotext", "-bbox-layout", pdf, "-"))
    return [(float(page.get("width")),
             [(w.text or "", *(float(w.get(k)) for k in ("xMin", "yMin", "xMax", "yMax")))
              for w in page.iter(XHTML + "word")])
            for page in root.iter(XHTML + "page")]


def card_records(shape, answers):
    """(section, grid 2) of each row record of a card file, in file order."""
    sections = []
    for si, section in enumerate(shape["sections"]):
        spans = []
        if section["columnCount"] > 0:
            spans.append((section["firstLine"], section["lineCount"], False))
        if section["hasGrid2"]:
            spans.append((section["firstLine2"], section["lineCount2"], True))
        for first, count, grid2 in spans:
            for index in range(first, first + count):
                sections += [(si, grid2)] * len(answers["lines"][index - 1].get("rows", []))
    return sections


FILLER = "weak NT 12-14 canape 1\x05 opener rebids 2\x04 with a minimum and passes " * 6


def long_card(source, target):
    """The card with every answer 200 characters long and a note on every
    row: row record k starts with the word R<k>s and carries note 100 + k."""
    with open(source, "rb") as f:
        records = f.read().split(b"\r\n")
    k = 0
    out = []
    for record in records:
        match = re.match(rb"^(\d+)#(\d*)}(.*)$", record, re.S)
        if not match or match.group(1) == b"0" or record.startswith(b"*"):
            out.append(record)
            continue
        k += 1
        text = match.group(3).decode("cp1252")
        start = f"R{k}s "
        if "\t" in text:
            fields = text.split("\t")
            for j in range(1, len(fields) - 1):
                fields[j] = ((start if j == 1 else f"C{j} ") + FILLER)[:200]
            text = "\t".join(fields)
        else:
            text = (start + FILLER)[:200]
        out.append(match.group(1) + b"#" + str(100 + k).encode() + b"}" + text.encode("cp1252"))
    with open(target, "wb") as f:
        f.write(b"\r\n".join(out))
    return k


def tripled_card(source, target):
    """The card with every line holding three times its rows."""
    with open(source, "rb") as f:
        records = f.read().split(b"\r\n")
    out = []
    for record in records:
        match = re.match(rb"^(\d+)#(.*)$", record, re.S)
        if not match or match.group(1) == b"0" or record.startswith(b"*"):
            out.append(record)
            continue
        count = str(3 * int(match.group(1))).encode()
        out += [count + b"#" + match.group(2)] * 3
    with open(target, "wb") as f:
        f.write(b"\r\n".join(out))


def overlapping_words(pdf):
    """Pairs of words whose boxes overlap: text printed over text."""
    found = []
    for page_no, (_, words) in enumerate(words_with_boxes(pdf)):
        boxes = sorted((w[2], w[4], w[1], w[3], w[0]) for w in words)
        for i, (top, bottom, left, right, text) in enumerate(boxes):
            for other in boxes[i + 1:]:
                if other[0] >= bottom - 0.5:
                    break
                if other[2] < right - 0.5 and left < other[3] - 0.5:
                    found.append((page_no + 1, text, other[4]))
    return found


def round_half_even(value):
    return int(round(value))


def first_wide_section(shape):
    return next(i for i, s in enumerate(shape["sections"]) if s["columnCount"] > 4)


def cell_edges(shape, widths, record, cell_x, printable, columns):
    """Where the rules of a row of that section stand, in printer pixels.
    From the first wide section on, rows have the whole width."""
    section_index, grid2 = record
    section = shape["sections"][section_index]
    wide = section_index >= first_wide_section(shape)
    text_width = (printable if wide else printable // columns) - 4
    edges = [cell_x, cell_x + text_width]
    count = section["columnCount"]
    if count > 1 and not grid2:
        cx, cw = 2, text_width - 4
        shares = [widths[section["firstColumn"] + j - 1] for j in range(count)]
        whole = max(sum(shares), 100)
        for j in range(count):
            if j > 0:
                edges.append(cell_x + cx)
                cx += 2
            cx += shares[j] * cw // whole
    return sorted(edges)


def check_long_answers(pdf, shape, answers, records, where):
    """Every note reference and every row's start printed; no word crosses
    the rules of its cell. A4 landscape, margins of 150 of 600 dpi."""
    dpi, margin = 600, 150
    printable = round_half_even(297 / 25.4 * dpi - 2 * margin - 2)
    column = printable // 3
    to_pt = lambda px: (margin + px) * 72 / dpi  # noqa: E731
    text = " ".join(page_texts(pdf))
    notes = set(int(n) for n in re.findall(r"Note#(\d+)", text))
    missing = [100 + k for k in range(1, len(records) + 1) if 100 + k not in notes]
    check(not missing, f"{where}: note references missing: {missing[:10]}")
    starts = set(int(n) for n in re.findall(r"\bR(\d+)s\b", text))
    missing = [k for k in range(1, len(records) + 1) if k not in starts]
    check(not missing, f"{where}: row starts missing: {missing[:10]}")
    crossings = []
    for page_no, (_, words) in enumerate(words_with_boxes(pdf)):
        for token in words:
            match = re.fullmatch(r"R(\d+)s", token[0])
            if not match:
                continue
            middle = (token[2] + token[4]) / 2
            section = records[int(match.group(1)) - 1]
            wide = section[0] >= first_wide_section(shape)
            if page_no > 0 and not wide:
                continue  # the card's title in the heading of page 2
            cell_x = 0 if wide else (int((token[1] * dpi / 72 - margin) // column)) * column
            edges = [to_pt(e) for e in cell_edges(shape, answers["widths"], section, cell_x,
                                                  printable, 3)]
            row = [w for w in words if abs((w[2] + w[4]) / 2 - middle) < 1.5
                   and edges[0] - 1 < w[1] < edges[-1] + 1]
            for word in row:
                for edge in edges:
                    if word[1] < edge - 0.3 and word[3] > edge + 0.3:
                        crossings.append((page_no + 1, match.group(0), word[0], round(edge, 1)))
    check(not crossings, f"{where}: words cross their cell's rules: {crossings[:6]}")


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
    check_single_column_order(out("one.pdf"), rows)

    # Pictures: the suits stay in the text (under their pictures), so a
    # printed card can still be searched and copied.
    with open(out("pictures.ini"), "w") as f:
        f.write("[setup]\r\nBitMap=0\r\n")
    rc, _, _ = run("pdf", template, card, out("pictures.pdf"), "--settings", out("pictures.ini"))
    texts = page_texts(out("pictures.pdf"))
    check(rc == 0 and all(s in "".join(texts) for s in SUITS.values()),
          "pictures mode lost the suits from the text")
    check("Both majors (Landy)" in texts[0], "pictures mode lost text")

    # Whose card: the PDF's title and author, and the heading of page 2.
    info = tool("pdfinfo", out("card.pdf"))
    check(re.search(r"^Title:\s+ZQW Convention Card 2.19: Natural, strong 1NT, 5-card majors "
                    r"\(Alice Marlow & Ben Okafor\)$", info, re.M), f"PDF title: {info}")
    check(re.search(r"^Author:\s+Alice Marlow & Ben Okafor$", info, re.M), f"PDF author: {info}")
    page2_top = page_texts(out("card.pdf"))[1].strip().splitlines()[0]
    check("Natural, strong 1NT" in page2_top and "Alice Marlow" in page2_top,
          f"page 2 is not headed by the card's title and names: {page2_top!r}")

    for page, expect, absent in (("1", "ZQW Convention Card", "Opening bids"),
                                 ("2", "Opening bids", "Partnership")):
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

    # Every answer 200 characters long with a note, in each suit mode.
    count = long_card(card, out("long.ccf"))
    records = card_records(shape, answers)
    check(count == len(records), f"long card: {count} rows, template walk {len(records)}")
    long_answers = json.loads(run("card", template, out("long.ccf"))[1])
    for mode in (2, 1, 0):
        with open(out(f"mode{mode}.ini"), "w") as f:
            f.write(f"[setup]\r\nBitMap={mode}\r\n")
        rc, _, err = run("pdf", template, out("long.ccf"), out(f"long{mode}.pdf"), "--settings",
                         out(f"mode{mode}.ini"))
        check(rc == 0, f"long card, suits mode {mode}: exit {rc} {err}")
        check_long_answers(out(f"long{mode}.pdf"), shape, long_answers, records,
                           f"long answers, suits mode {mode}")
        check("\u2026" in "".join(page_texts(out(f"long{mode}.pdf"))),
              "long answers are not marked as shortened")

    # Three times the rows: every row printed once and legible, page 1
    # continuing on further pages, in one layout column and in three.
    tripled_card(card, out("tripled.ccf"))
    tripled = json.loads(run("card", template, out("tripled.ccf"))[1])
    check(sum(len(line.get("rows", [])) for line in tripled["lines"]) ==
          3 * sum(len(line.get("rows", [])) for line in answers["lines"]), "tripled card")
    for name, settings in (("three", ""), ("one", "columns=0\r\n")):
        with open(out(f"{name}.ini"), "w") as f:
            f.write("[setup]\r\n" + settings)
        rc, _, err = run("pdf", template, out("tripled.ccf"), out(f"tripled-{name}.pdf"),
                         "--settings", out(f"{name}.ini"))
        check(rc == 0, f"tripled card, {name} column(s): exit {rc} {err}")
        pages = page_texts(out(f"tripled-{name}.pdf"))
        check(len(pages) > 2, f"tripled card, {name} column(s): {len(pages)} pages")
        overlaps = overlapping_words(out(f"tripled-{name}.pdf"))
        check(not overlaps, f"tripled card, {name} column(s): text over text {overlaps[:5]}")
        text = " ".join(pages)
        for word in ("Lebensohl after a double of a weak two", "Note#3", "Note#12",
                     "Weak twos in \u2666, \u2665 and \u2660; 2\u2663 strong and artificial"):
            check(" ".join(text.split()).count(word) >= 3,
                  f"tripled card, {name} column(s): {word!r} not printed three times")

    # Reading order: page 1's text comes one layout column at a time, top
    # to bottom, from the right, as the rows are numbered.
    raw = tool("pdftotext", "-raw", "-f", "1", "-l", "1", out("card.pdf"), "-")
    raw = " ".join(raw.split())
    position = 0
    for number in range(1, last_first_page + 1):
        probe = rows[number - 1]
        if not probe:
            continue
        found = raw.find(" ".join(probe.split()), position)
        if found < 0:
            check(False, f"reading order: row {number} ({probe!r}) not after the row before")
            break
        position = found + 1

    # Settings the command refuses, and paper names it takes.
    def write_settings(name, text):
        with open(out(name), "w") as f:
            f.write("[setup]\r\n" + text)
        return out(name)

    for settings, message in (
        ("leftm=600\r\nrightm=600\r\n", "left and right margins"),
        ("Orient=0\r\nunit=1\r\nleftm=10000\r\nrightm=9000\r\n", "left and right margins"),
        ("topm=5000\r\nBottomm=4000\r\n", "top and bottom margins"),
        ("Sheet=Foolscap Royal\r\n", "Foolscap Royal"),
    ):
        rc, _, err = run("pdf", template, card, out("refused.pdf"), "--settings",
                         write_settings("refused.ini", settings))
        check(rc != 0 and message in err and len(err.strip().splitlines()) == 1,
              f"settings {settings!r}: exit {rc}, {err!r}")
        check(not os.path.exists(out("refused.pdf")), f"settings {settings!r} left a PDF")
    for sheet, size in (("Letter", "792 x 612"), ("letter", "792 x 612"), ("LEGAL", "1008 x 612"),
                        ("a4", "842 x 595"), ("Letter / ANSI A", "792 x 612"), ("A5", "595 x 420")):
        rc, _, err = run("pdf", template, card, out("sheet.pdf"), "--settings",
                         write_settings("sheet.ini", f"Sheet={sheet}\r\n"))
        info = tool("pdfinfo", out("sheet.pdf")) if rc == 0 else ""
        check(re.search(r"Page size:\s+" + size, info), f"Sheet={sheet}: exit {rc} {err} {info}")

    # The suit characters stored in the settings are not read at start-up by
    # the editor, nor here: the card prints the same from both.
    rc, _, _ = run("pdf", template, card, out("chars.pdf"), "--settings",
                   write_settings("chars.ini", "club=65\r\nDiamond=66\r\n"))
    check(rc == 0 and "2\u2663" in page_texts(out("chars.pdf"))[0],
          "stored suit characters changed the printed suits")

    # Notes in a card font larger than the notes font: lines never overlap.
    rc, _, _ = run("pdf", template, card, out("c.pdf"), "--settings",
                   write_settings("big.ini", "DSize=14\r\nTSize=8\r\n"), "--notes",
                   out("bignotes.pdf"))
    check(rc == 0, "notes with a large card font")
    for page in words_with_boxes(out("bignotes.pdf")):
        lines = {}
        for word in page[1]:
            lines.setdefault(round(word[4], 1), []).append(word)
        boxes = sorted((min(w[2] for w in ws), max(w[4] for w in ws)) for ws in lines.values())
        overlaps = [(a, b) for a, b in zip(boxes, boxes[1:]) if b[0] < a[1] - 0.5]
        check(not overlaps, f"notes lines overlap: {overlaps[:3]}")

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
