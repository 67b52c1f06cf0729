"""Checks zqwcce-cli compare, check and html from outside: exit statuses and
JSON, on the standard filled card and copies of it with small changes.

usage: review_test.py ZQWCCE_CLI BUNDLED_TEMPLATE FILLED_DIR
"""
import json
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
    long_answer = b"Natural, strong 1NT, 5-card majors" + b", and much more" * 4
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


with tempfile.TemporaryDirectory() as work:
    for name in ("filled.ccf", "filled-notes.txt"):
        shutil.copy(os.path.join(filled_dir, name), work)
    compare_tests(work)
    check_tests(work)

if failures:
    print(f"{len(failures)} failure(s)")
    sys.exit(1)
print("ok")
