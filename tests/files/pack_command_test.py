"""Checks `zqwcce-cli pack` from outside: the package it writes is read back
by unzip, card first and notes second under bare names; packing twice leaves
one entry of each name; failures exit 2 with one line and write nothing.

usage: pack_command_test.py ZQWCCE_CLI
"""
import os
import subprocess
import sys
import tempfile

cli = sys.argv[1]
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAIL:", what)


def run(*args, cwd=None):
    result = subprocess.run([cli, *args], capture_output=True, cwd=cwd, timeout=60)
    return result.returncode, result.stdout.decode(), result.stderr.decode()


def listing(package):
    """Entry names in archive order, as unzip -Z1 lists them."""
    out = subprocess.run(["unzip", "-Z1", package], capture_output=True, check=True).stdout
    return out.decode().splitlines()


def member(package, name):
    return subprocess.run(["unzip", "-p", package, name], capture_output=True, check=True).stdout


def write(path, data):
    with open(path, "wb") as f:
        f.write(data)


with tempfile.TemporaryDirectory() as work:
    cards = os.path.join(work, "cards")
    os.makedirs(cards)
    card = os.path.join(cards, "club system.ccf")
    notes = os.path.join(cards, "club notes.txt")
    # The notes are linked by a path that no longer exists: found beside the
    # card, as the card reader finds them.
    card_bytes = b"ZQW1.0C:\\Old folder\\club notes.txt\r\n$20\r\n1#}\tNatural\t\r\n"
    notes_bytes = b"Note:..1: Stayman\r\n"
    write(card, card_bytes)
    write(notes, notes_bytes)
    package = os.path.join(work, "club.zqw")

    rc, out, err = run("pack", card, package)
    check(rc == 0 and out == "" and err == "", f"pack: exit 0 and silent ({rc}, {err!r})")
    check(listing(package) == ["club system.ccf", "club notes.txt"], f"entries {listing(package)}")
    check(member(package, "club system.ccf") == card_bytes, "card bytes unchanged")
    check(member(package, "club notes.txt") == notes_bytes, "notes bytes unchanged")
    # unzip's own listing shows the card first.
    table = subprocess.run(["unzip", "-l", package], capture_output=True).stdout.decode()
    check(table.index("club system.ccf") < table.index("club notes.txt"), "unzip -l order")

    # Another tool's entry is kept, after card and notes; packing twice
    # leaves one entry of each name.
    write(os.path.join(work, "extra.txt"), b"extra")
    subprocess.run(["zip", "-q", "-j", package, os.path.join(work, "extra.txt")], check=True)
    write(card, card_bytes + b"1#}\tchanged\t\r\n")
    for _ in range(2):
        rc, _, err = run("pack", card, package)
        check(rc == 0, f"pack again: {err}")
    check(listing(package) == ["club system.ccf", "club notes.txt", "extra.txt"],
          f"entries after packing twice: {listing(package)}")
    check(member(package, "club system.ccf").endswith(b"changed\t\r\n"), "card replaced")
    test = subprocess.run(["unzip", "-tq", package], capture_output=True)
    check(test.returncode == 0, f"unzip -t: {test.stdout!r}")

    # No notes anywhere: the card alone.
    lonely = os.path.join(work, "lonely.ccf")
    write(lonely, b"ZQW1.0/nowhere/notes.txt\r\n")
    rc, _, _ = run("pack", lonely, os.path.join(work, "lonely.zqw"))
    check(rc == 0 and listing(os.path.join(work, "lonely.zqw")) == ["lonely.ccf"], "card alone")

    # Failures: exit 2, one line on standard error, nothing written.
    before = sorted(os.listdir(work))
    write(os.path.join(work, "plain.txt"), b"no card")
    cases = [
        (["pack", os.path.join(work, "missing.ccf"), os.path.join(work, "x.zqw")],
         "cannot read the card file " + os.path.join(work, "missing.ccf") + ": No such file or directory"),
        (["pack", os.path.join(work, "plain.txt"), os.path.join(work, "x.zqw")],
         "cannot read the card file " + os.path.join(work, "plain.txt") + ": not a card file"),
        (["pack", card, os.path.join(work, "none", "x.zqw")],
         "Unable to produce the ZQW file " + os.path.join(work, "none", "x.zqw") +
         ": No such file or directory"),
        (["pack", card], "usage: zqwcce-cli pack CARD OUT.zqw"),
    ]
    for args, message in cases:
        rc, out, err = run(*args)
        check(rc == 2, f"{args}: exit {rc}")
        check(err == "zqwcce-cli pack: " + message + "\n", f"{args}: stderr {err!r}")
        check(out == "", f"{args}: stdout {out!r}")
    check(sorted(os.listdir(work)) == sorted(before + ["plain.txt"]), "failures wrote nothing")

print(f"{0 if failures else 1} passed, {len(failures)} failed")
sys.exit(1 if failures else 0)
