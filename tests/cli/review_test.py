"""Checks zqwcce-cli compare, check and html from outside: exit statuses and
JSON, on the standard filled card and copies of it with small changes.

usage: review_test.py ZQWCCE_CLI BUNDLED_TEMPLATE FILLED_DIR
"""
import json
import xml.etree.ElementTree as ElementTree
import os
import shutil
import subprocess
import sys
import tempfile

cli, template, filled_dir = sys.argv[1:4]
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAIL:", what)


def run(*args):
    result = subprocess.run([cli, *args], capture_output=True, timeout=120)
    return result.returncode, result.stdout.decode("utf-8"), result.stderr.decode("utf-8")


def write(path, data):
    with open(path, "wb") as f:
        f.write(data)


def read(path):
    with open(path, "rb") as f:
        return f.read()


def json_of(out, what):
    try:
        return json.loads(out)
    except ValueError:
        check(False, f"{what}: output is no JSON: {out!r}")
        return {}


def card_variant(work, name, replacements, notes="filled-notes.txt"):
    """A copy of the filled card with byte replacements, linking notes."""
    data = read(os.path.join(filled_dir, "filled.ccf"))
    data = data.replace(b"filled-notes.txt", notes.encode(), 1)
    for old, new in replacements:
        check(old in data, f"fixture holds {old!r}")
        data = data.replace(old, new, 1)
    path = os.path.join(work, name)
    write(path, data)
    return path


def compare_tests(work):
    mine = card_variant(work, "mine.ccf", [])
    same = card_variant(work, "same.ccf", [])
    theirs = card_variant(work, "theirs.ccf", [
        (b"Alice Marlow & Ben Okafor", b"Alice Marlow & B. Okafor"),
        (b"1#}1\x04 promises", b"1#}1\x05 promises"),
    ])
    damaged = os.path.join(work, "damaged.ccf")
    write(damaged, b"not a card at all\r\n")
    notes = os.path.join(work, "filled-notes.txt")
    other_notes = os.path.join(work, "other-notes.txt")
    write(other_notes, read(notes).replace(b"four-card support\r\n", b"4-card support\r\n", 1))

    # (what, words, exit status, number of differences or None)
    cases = [
        ("equal cards", [mine, same], 0, 0),
        ("equal cards and notes", [mine, same, "--notes", notes, notes], 0, 0),
        ("different cells", [mine, theirs], 1, 2),
        ("different notes", [mine, same, "--notes", notes, other_notes], 1, 1),
        ("missing card", [mine, os.path.join(work, "nowhere.ccf")], 2, None),
        ("damaged card", [damaged, mine], 2, None),
        ("missing notes", [mine, same, "--notes", notes, os.path.join(work, "no.txt")], 2, None),
        ("wrong words", [mine], 2, None),
    ]
    for what, words, status, count in cases:
        rc, out, err = run("compare", template, *words)
        check(rc == status, f"compare {what}: exit {rc}, wanted {status} ({err.strip()})")
        if count is None:
            check(out == "", f"compare {what}: no JSON after a failure")
            check(err.startswith("zqwcce-cli compare: "), f"compare {what}: says why: {err!r}")
            continue
        result = json_of(out, f"compare {what}")
        check(set(result) == {"messages", "differences"}, f"compare {what}: keys {set(result)}")
        check(len(result.get("differences", [])) == count,
              f"compare {what}: {result.get('differences')}")

    rc, out, _ = run("compare", template, mine, theirs)
    differences = json_of(out, "compare").get("differences", [])
    keys = ["group", "section", "line", "heading", "row", "mine", "theirs"]
    check(all(list(d) == keys for d in differences), f"difference keys: {differences}")
    names = [d for d in differences if d["theirs"] == "Alice Marlow & B. Okafor"]
    check(len(names) == 1 and names[0]["mine"] == "Alice Marlow & Ben Okafor"
          and names[0]["line"] == "Names" and names[0]["row"] == 2,
          f"the names difference: {names}")
    suits = [d for d in differences if d["mine"].startswith("1\u2666 promises")]
    check(len(suits) == 1 and suits[0]["theirs"].startswith("1\u2663 promises"),
          f"suits as symbols: {differences}")

    rc, out, _ = run("compare", template, mine, same, "--notes", notes, other_notes)
    lines = json_of(out, "compare notes").get("differences", [])
    check(lines and lines[0]["line"] == "Note 3" and lines[0]["mine"].endswith("four-card support")
          and "3\u2663" in lines[0]["mine"], f"notes line difference: {lines}")


def check_tests(work):
    notes = os.path.join(work, "filled-notes.txt")
    big_notes = os.path.join(work, "big-notes.txt")
    # Random bytes do not compress: the package grows past the mail limit.
    write(big_notes, os.urandom(7_500_000))
    settings = os.path.join(work, "one-column.ini")
    write(settings, b"[setup]\r\ncolumns=0\r\n")
    # Too long even for the smallest type a printed caption is drawn in.
    long_answer = b"Natural, strong 1NT, 5-card majors" + b", and much more" * 10
    cards = {
        "filled": card_variant(work, "check-filled.ccf", []),
        "no names": card_variant(work, "check-names.ccf",
                                 [(b"Alice Marlow & Ben Okafor", b"")]),
        "missing notes": card_variant(work, "check-missing.ccf", [], notes="nowhere.txt"),
        "dangling note": card_variant(work, "check-dangling.ccf", [(b"1#3}", b"1#77}")]),
        "long answer": card_variant(work, "check-long.ccf",
                                    [(b"Natural, strong 1NT, 5-card majors\t", long_answer + b"\t")]),
        "big package": card_variant(work, "check-big.ccf", [], notes="big-notes.txt"),
    }
    # (what, words, exit status, findings as (severity, part of what, part of where))
    cases = [
        ("the filled card", [cards["filled"]], 0, []),
        ("empty names", [cards["no names"]], 1,
         [("error", "partnership names are empty", "Names")]),
        ("notes linked but missing", [cards["missing notes"]], 1,
         [("error", "notes file is missing", "nowhere.txt")]),
        ("a reference with no heading", [cards["dangling note"]], 1,
         [("error", "Note#77 has no heading", "row"),
          ("warning", "Nothing on the card refers to note 3", "Notes, line 4")]),
        ("an answer cut off in print", [cards["long answer"]], 0,
         [("warning", "longer than its printed cell", "Players > Partnership, row 4")]),
        ("other notes", [cards["filled"], "--notes", os.path.join(work, "other-notes.txt")], 1,
         None),
        ("a package too large to mail", [cards["big package"]], 1, None),
        ("a card that is not there", [os.path.join(work, "nowhere.ccf")], 2, None),
        ("notes that are not there", [cards["filled"], "--notes", os.path.join(work, "no.txt")], 2,
         None),
        ("settings that are not there", [cards["filled"], "--settings", os.path.join(work, "no.ini")],
         2, None),
    ]
    write(os.path.join(work, "other-notes.txt"), b"Note:..3: only three\r\n")
    for what, words, status, expected in cases:
        rc, out, err = run("check", template, *words)
        check(rc == status, f"check {what}: exit {rc}, wanted {status} ({err.strip()})")
        if status == 2:
            check(out == "" and err.startswith("zqwcce-cli check: "), f"check {what}: {err!r}")
            continue
        findings = json_of(out, f"check {what}").get("findings", [])
        check(all(list(f) == ["severity", "what", "where"] for f in findings),
              f"check {what}: finding keys {findings}")
        if expected is None:
            continue
        got = [(f["severity"], f["what"], f["where"]) for f in findings]
        ok = len(got) == len(expected) and all(
            s == es and ew in w and ewhere in where
            for (s, w, where), (es, ew, ewhere) in zip(got, expected))
        check(ok, f"check {what}: {got}")

    rc, out, _ = run("check", template, cards["filled"], "--notes",
                     os.path.join(work, "other-notes.txt"))
    whats = [f["what"] for f in json_of(out, "check other notes").get("findings", [])]
    check(sorted(w.split(" has")[0] for w in whats if "no heading" in w)
          == ["Note#12", "Note#4", "Note#5", "Note#999"], f"check other notes: {whats}")
    rc, out, _ = run("check", template, cards["big package"])
    whats = [f["what"] for f in json_of(out, "check big").get("findings", [])]
    check(any("more than the KHF's mail server accepts (7400000 bytes)" in w for w in whats),
          f"check big package: {whats[-3:]}")
    # Fewer layout columns give wider cells: the long answer fits.
    rc, out, _ = run("check", template, cards["long answer"], "--settings", settings)
    check(rc == 0 and json_of(out, "check one column").get("findings") == [],
          f"check with one layout column: {out}")


def expected_answers(card_path):
    """Every answer of the card as the page should show it, in card order:
    suits as symbols, a row's note number after its last answer."""
    shape = json.loads(run("template", template)[1])
    answers = json.loads(run("card", template, card_path)[1])
    lines = answers["lines"]
    symbols = str.maketrans({"\x05": "\u2663", "\x04": "\u2666", "\x03": "\u2665",
                             "\x06": "\u2660"})

    def field(text, count, number):
        if count < 2:
            return text
        parts = text.split("\t")
        # A field is only complete with the TAB that ends it.
        return parts[number - 1] if number < len(parts) else ""

    found = []
    for section in shape["sections"]:
        count = section["columnCount"]
        grids = []
        if count > 0:
            grids.append((section["firstLine"], section["lineCount"], count))
        if section["hasGrid2"]:
            grids.append((section["firstLine2"], section["lineCount2"], 1))
        for first, line_count, columns in grids:
            fields = list(range(2, columns + 1)) if columns > 1 else [1]
            for index in range(first, first + line_count):
                line, label = lines[index - 1], shape["lines"][index]["label"]
                for k, row in enumerate(line.get("rows", [])):
                    texts = [field(row["text"], columns, n).translate(symbols) for n in fields]
                    # Rows with nothing to say are left off the page.
                    if (k > 0 or not label) and row["noteNo"] == 0 and not "".join(texts).strip():
                        continue
                    if row["noteNo"] > 0:
                        texts[-1] += f" Note#{row['noteNo']}"
                    found.extend(texts)
    return found


def text_of(element):
    return "".join(element.itertext())


def parse_strictly(data, what):
    import html5lib
    try:
        return html5lib.HTMLParser(strict=True, namespaceHTMLElements=False).parse(data)
    except html5lib.html5parser.ParseError as error:  # the first parse error
        check(False, f"html of {what}: not valid HTML5: {error}")
        return None


def html_tests(work):

    card = os.path.join(work, "filled.ccf")
    page = os.path.join(work, "filled.html")
    rc, _, err = run("html", template, card, page)
    check(rc == 0, f"html: exit {rc} ({err.strip()})")
    data = read(page).decode("utf-8")
    document = parse_strictly(data, "the filled card")
    if document is None:
        return
    check(data.startswith("<!DOCTYPE html>"), "html: doctype")
    check(text_of(document.find(".//h1")) == "ZQW Convention Card 2.19", "html: title heading")
    check("Alice Marlow & Ben Okafor" in text_of(document.find(".//header")),
          "html: names at the top")
    check(text_of(document.find(".//title")).endswith("Alice Marlow & Ben Okafor"),
          "html: names in the title")

    # The answers are the cells after the row headers: a table whose rows
    # start with a header cell has a label column (empty where a line has
    # no label).
    wanted = expected_answers(card)
    answer_cells = []
    for table in document.iter("table"):
        rows = table.findall("./tbody/tr")
        labelled = any(len(tr) and tr[0].tag == "th" for tr in rows)
        for tr in rows:
            answer_cells += [text_of(c) for c in list(tr)[1 if labelled else 0:]]
    check(answer_cells == wanted,
          f"html: answers differ from the card's: first difference at "
          f"{next((i for i, (a, b) in enumerate(zip(answer_cells, wanted)) if a != b), None)}"
          f" ({len(answer_cells)} cells, {len(wanted)} answers)")
    for answer in set(a for a in wanted if len(a) > 12):
        check(sum(c == answer for c in answer_cells) == wanted.count(answer),
              f"html: {answer!r} found once for each time the card holds it")

    ids = {e.get("id") for e in document.iter() if e.get("id")}
    links = [a.get("href") for a in document.iter("a")]
    check(len(links) >= 5, f"html: note links {links}")
    check(all(h.startswith("#") and h[1:] in ids for h in links), f"html: dangling links {links}")
    for number in (3, 4, 5, 12, 999):
        heading = document.find(f".//*[@id='note-{number}']")
        check(heading is not None and heading.tag == "h3"
              and text_of(heading).startswith(f"Note:..{number}:"), f"html: note {number} heading")
    note3 = document.find(".//*[@id='note-3']/..")
    check(note3 is not None and "After a 1\u2665 or 1\u2660 opening" in text_of(note3)
          and len(note3.findall(".//br")) >= 3, "html: note 3 with suits and its line breaks")

    for span in document.iter("span"):
        colour = {"\u2665": "red", "\u2666": "red", "\u2663": "black", "\u2660": "black"}
        check(colour.get(text_of(span)) == span.get("class"), f"html: suit colour {text_of(span)}")
    check(not any(e.tag in ("script", "link", "img", "iframe", "object") for e in document.iter()),
          "html: nothing outside the file")

    # Text is escaped: an answer that is markup shows as text.
    hostile = card_variant(work, "hostile.ccf", [
        (b"Alice Marlow & Ben Okafor", b"<script>alert(1)</script> & <b>"),
        (b"Regular partnership", b"Note#3\" onclick=\"x")])
    hostile_page = os.path.join(work, "hostile.html")
    rc, _, _ = run("html", template, hostile, hostile_page)
    document = parse_strictly(read(hostile_page).decode("utf-8"), "the hostile card")
    if document is None:
        return
    check(not any(e.tag in ("script", "b") for e in document.iter()), "html: markup escaped")
    check("<script>alert(1)</script> & <b>" in text_of(document.find(".//header")),
          "html: markup shown as text")
    check(all(set(a.attrib) == {"href"} for a in document.iter("a")), "html: no attribute injected")

    # Written like every other output: whole or not at all; a folder is
    # no file to replace.
    rc, _, err = run("html", template, card, work)
    check(rc == 2 and err.startswith("zqwcce-cli html: "), f"html into a folder: {rc} {err!r}")
    rc, _, _ = run("html", template, os.path.join(work, "nowhere.ccf"), page)
    check(rc == 2 and read(page).decode("utf-8") == data, "html of a missing card: old page kept")
    rc, _, _ = run("html", template, card, page, "--notes", os.path.join(work, "no.txt"))
    check(rc == 2, "html with notes that are not there")


with tempfile.TemporaryDirectory() as work:
    for name in ("filled.ccf", "filled-notes.txt"):
        shutil.copy(os.path.join(filled_dir, name), work)
    compare_tests(work)
    check_tests(work)
    html_tests(work)

if failures:
    print(f"{len(failures)} failure(s)")
    sys.exit(1)
print("ok")
