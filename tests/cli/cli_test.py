"""Checks zqwcce-cli from outside: JSON shapes against golden files, the
exit statuses, and that a blank card survives a write and read unchanged.

usage: cli_test.py ZQWCCE_CLI BUNDLED_TEMPLATE FIXTURE_DIR
"""
import json
import os
import shutil
import stat
import subprocess
import sys
import tempfile

cli, bundled, fixtures = sys.argv[1:4]
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAIL:", what)


def run(*args, cwd=None, env=None):
    result = subprocess.run([cli, *args], capture_output=True, cwd=cwd, timeout=60, env=env)
    return result.returncode, result.stdout.decode("utf-8"), result.stderr.decode("utf-8")


def golden(name, actual, work):
    with open(os.path.join(fixtures, name), encoding="utf-8") as f:
        expected = json.loads(f.read().replace("{DIR}", work))
    check(actual == expected, f"{name}: output differs:\n{json.dumps(actual, ensure_ascii=False)}")


with tempfile.TemporaryDirectory() as work:
    for name in ("mini.sel", "fixture.ccf", "notes.txt"):
        shutil.copy(os.path.join(fixtures, name), work)
    elsewhere = tempfile.mkdtemp()

    # The bundled template is clean and has the card's eight top tabs.
    rc, out, _ = run("template", bundled)
    shape = json.loads(out)
    check(rc == 0, "template: exit 0")
    check(shape["messages"] == [], f"bundled template messages: {shape['messages']}")
    check(len(shape["tabs"]) == 8 and shape["tabs"][-1] == "Notes", f"tabs: {shape['tabs']}")
    check(shape["lines"][0] == {"label": "", "cellInfoIndex": 0}, "placeholder line printed")

    rc, out, _ = run("template", os.path.join(work, "mini.sel"))
    golden("expected-template.json", json.loads(out), work)

    # Read from another folder: the notes named without a folder are found
    # beside the card, where a relative link leads.
    rc, out, _ = run("card", os.path.join(work, "mini.sel"), os.path.join(work, "fixture.ccf"), cwd=elsewhere)
    check(rc == 0, "card: exit 0")
    golden("expected-card.json", json.loads(out), work)

    # Notes out of the card's folder, not linked by this user in the editor,
    # are not opened; the reader says so.
    outside = os.path.join(elsewhere, "outside.txt")
    with open(outside, "wb") as f:
        f.write(b"Note:..1: not ours\r\n")
    linking = os.path.join(work, "linking.ccf")
    with open(linking, "wb") as f:
        f.write(b"ZQW1.0" + os.path.realpath(outside).encode() + b"\r\n")
    rc, out, _ = run("card", os.path.join(work, "mini.sel"), linking,
                     env=dict(os.environ, XDG_CONFIG_HOME=os.path.join(work, "config")))
    answers = json.loads(out)
    check(rc == 0 and answers["messages"] == [f"The notes file {os.path.realpath(outside)} is outside "
                                              "the card's folder and was not opened"],
          f"card linking notes elsewhere: {answers['messages']}")
    check(answers["state"]["noteFileName"] == "" and answers["notes"] == "",
          f"card linking notes elsewhere: {answers['state']} {answers['notes']}")

    # A card file that cannot be read is the reader's message, not a failure.
    missing = os.path.join(work, "missing.ccf")
    rc, out, _ = run("card", bundled, missing)
    check(rc == 0 and json.loads(out)["messages"] == [missing + " file not found"], "card: missing file reported")

    # A blank card written and read back is byte-identical.
    first, second = os.path.join(work, "blank1.ccf"), os.path.join(work, "blank2.ccf")
    rc, out, _ = run("resave", bundled, missing, first)
    check(rc == 0 and json.loads(out)["messages"] == [missing + " file not found"], "resave of a missing card")
    rc, out, _ = run("resave", bundled, first, second)
    check(rc == 0 and json.loads(out)["messages"] == [], f"resave of a blank card: {out}")
    with open(first, "rb") as a, open(second, "rb") as b:
        blank = a.read()
        check(blank == b.read(), "blank card resaved byte-identical")
    check(blank.startswith(b"ZQW1.0\r\n$") and blank.endswith(b"*30}\x00\r\n"), "blank card bytes")

    # The fixture resaved reads back to the same answers.
    resaved = os.path.join(work, "resaved.ccf")
    rc, out, _ = run("resave", os.path.join(work, "mini.sel"), os.path.join(work, "fixture.ccf"), resaved, cwd=elsewhere)
    check(rc == 0, "resave fixture: exit 0")
    _, before, _ = run("card", os.path.join(work, "mini.sel"), os.path.join(work, "fixture.ccf"), cwd=elsewhere)
    _, after, _ = run("card", os.path.join(work, "mini.sel"), resaved)
    before, after = json.loads(before), json.loads(after)
    for key in ("widths", "sections", "lines", "auctions", "notes"):
        check(before[key] == after[key], f"resave keeps {key}")

    # Failures that stop the tool: exit 2, one line on standard error.
    rc, out, err = run("template", os.path.join(work, "absent.sel"))
    check(rc == 2 and out == "" and err.count("\n") == 1, f"unreadable template: rc={rc} err={err!r}")
    rc, out, err = run("resave", bundled, first, os.path.join(work, "no", "such", "out.ccf"))
    check(rc == 2 and err.count("\n") == 1, f"unwritable output: rc={rc}")
    check("Unable to write to the file" in json.loads(out)["messages"][0], "unwritable output message")
    rc, _, err = run("frobnicate")
    check(rc == 2, "unknown command")

    # A pipe at an output path is refused at once and left a pipe: opened
    # for writing it would wait for a reader, replaced it would be gone.
    pipe = os.path.join(work, "pipe")
    os.mkfifo(pipe)
    mini, fixture = os.path.join(work, "mini.sel"), os.path.join(work, "fixture.ccf")
    for args in (["pdf", mini, fixture, pipe],
                 ["pdf", mini, fixture, os.path.join(work, "card.pdf"), "--notes", pipe]):
        rc, out, err = run(*args)
        check(rc == 2 and err == f"zqwcce-cli pdf: Unable to write to the file {pipe}: "
              "Not a regular file\n", f"{args[4:] or 'pdf'} to a pipe: rc={rc} err={err!r}")
        check(stat.S_ISFIFO(os.lstat(pipe).st_mode), f"{args[4:] or 'pdf'}: the pipe is left")
    rc, out, _ = run("resave", mini, fixture, pipe)
    check(rc == 2 and stat.S_ISFIFO(os.lstat(pipe).st_mode), f"resave to a pipe: rc={rc}")
    shutil.rmtree(elsewhere)

if failures:
    print(f"{len(failures)} check(s) failed")
    sys.exit(1)
print("all cli checks passed")
