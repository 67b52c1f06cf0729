#!/usr/bin/python3
"""Check the editor's help topics and start-up hints against the card template.

Usage: /usr/bin/python3 check_help.py TEMPLATE HELPDIR HINTS

TEMPLATE  the card template (zqw.sel); every help context number a cell of it
          can ask for (F9) must have a topic
HELPDIR   the help folder: topics.txt and the HTML pages it names
HINTS     the hints file (ccehints.txt)

Prints one FAIL line per fault and exits 1 when there is any; exits 2 when
called with the wrong arguments.
"""

import html.parser
import os
import re
import sys
import urllib.parse

# Topics the Help menu opens by number whatever the template holds.
FIXED_TOPICS = {2: "Basic", 86: "Guide to completion"}

HINT_HEADER = "$*$"
SUIT_MARKER = "$#$"
# The hints window shows at most this many characters after a suit marker.
MARKER_TAIL_LIMIT = 255

failures = []


def fail(message):
    failures.append(message)
    print("FAIL: " + message)


def read_bytes(path, what):
    try:
        with open(path, "rb") as f:
            return f.read()
    except OSError as e:
        fail("cannot read %s %s: %s" % (what, path, e.strerror))
        return None


# ---------------------------------------------------------------- template

def template_contexts(path):
    """Map each help context number > 0 that some cell receives to the
    template line of the first such cell.

    Help numbers are sticky: a cell takes the number its column holds when
    its line is defined, and the number stays until the column gets another
    one or the next grid (C or A record) clears it. A number set only after
    the last line of a grid reaches no cell and is not listed.
    """
    data = read_bytes(path, "template")
    if data is None:
        return {}
    data = data.split(b"\x1a", 1)[0]
    used = {}
    column_count = 0
    column_help = {}
    for number, raw in enumerate(re.split(rb"\r\n|\r|\n", data), start=1):
        record = raw.decode("cp1252", errors="replace")
        if not record:
            continue
        kind = record[0]
        where = "%s line %d" % (path, number)
        if kind == "C":
            if not record[1:2].isdigit():
                fail("%s: C record without a column count" % where)
                continue
            column_count = int(record[1])
            for column in range(1, column_count + 1):
                column_help[column] = 0
        elif kind == "A":
            column_count = 2
            column_help[1] = column_help[2] = 0
        elif kind in "XYZ":
            if not record[1:2].isdigit():
                fail("%s: help record without a column digit" % where)
                continue
            column = int(record[1])
            try:
                context = int(record[2:82])
            except ValueError:
                fail("%s: help record %r has no number" % (where, record))
                continue
            if column > column_count:
                # The editor reports the record and files it under column 0,
                # which no cell reads (for Z: columns 0 up to the last).
                column = 0
            if kind == "Y":
                columns = [column]
            elif kind == "X":
                columns = range(1, column + 1)
            else:
                columns = range(column, column_count + 1)
            for c in columns:
                column_help[c] = context
        elif kind in "LOS":
            if kind == "L":
                try:
                    lines = int(record[1:3])
                except ValueError:
                    fail("%s: L record %r has no line count" % (where, record))
                    continue
            else:
                lines = 1
            if lines <= 0:
                continue
            for column in range(1, column_count + 1):
                context = column_help.get(column, 0)
                if context > 0:
                    used.setdefault(context, number)
    return used


# ---------------------------------------------------------------- topics

TOPIC_FILE = re.compile(r"[A-Za-z0-9_.-]+\.html")


def read_topics(helpdir):
    """Return {context: (file, line)} from topics.txt, failing on every
    malformed line, missing page and repeated context number."""
    path = os.path.join(helpdir, "topics.txt")
    data = read_bytes(path, "topic map")
    if data is None:
        return {}
    try:
        text = data.decode("utf-8")
    except UnicodeDecodeError as e:
        fail("%s: not UTF-8 (byte %d)" % (path, e.start))
        return {}
    if "\r" in text:
        # A CR would end up in the file name or title of the help window.
        fail("%s: has CR characters; use LF line ends" % path)
        text = text.replace("\r", "")
    topics = {}
    lines = text.split("\n")
    if lines and lines[-1] == "":
        lines.pop()
    for number, line in enumerate(lines, start=1):
        where = "%s line %d" % (path, number)
        if line.startswith("#"):
            continue
        fields = line.split("\t")
        if len(fields) != 3:
            fail("%s: expected CONTEXT<TAB>FILE<TAB>Title, found %r" % (where, line))
            continue
        context, page, title = fields
        if not re.fullmatch(r"[1-9][0-9]*", context):
            fail("%s: context %r is not a number above 0" % (where, context))
            continue
        if not TOPIC_FILE.fullmatch(page):
            fail("%s: %r is not the name of an .html page in the help folder" % (where, page))
        elif not os.path.isfile(os.path.join(helpdir, page)):
            fail("%s: page %s does not exist" % (where, page))
        if not title.strip():
            fail("%s: topic %s has no title" % (where, context))
        context = int(context)
        if context in topics:
            fail("%s: context %d is already mapped on line %d"
                 % (where, context, topics[context][1]))
            continue
        topics[context] = (page, number)
    return topics


# ---------------------------------------------------------------- pages

class PageScan(html.parser.HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.links = []
        self.anchors = set()

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        if attrs.get("id"):
            self.anchors.add(attrs["id"])
        if tag == "a" and attrs.get("name"):
            self.anchors.add(attrs["name"])
        if attrs.get("href") is not None:
            self.links.append(attrs["href"])

    handle_startendtag = handle_starttag


def scan_page(path, cache):
    if path not in cache:
        data = read_bytes(path, "help page")
        scan = None
        if data is not None:
            try:
                text = data.decode("utf-8")
            except UnicodeDecodeError as e:
                fail("%s: not UTF-8 (byte %d)" % (path, e.start))
            else:
                scan = PageScan()
                scan.feed(text)
                scan.close()
        cache[path] = scan
    return cache[path]


def check_pages(helpdir):
    """Every link of every page must lead to an existing page of the help
    folder and, when it names an anchor, to that anchor."""
    root = os.path.realpath(helpdir)
    cache = {}
    pages = []
    for folder, _, names in os.walk(helpdir):
        pages += [os.path.join(folder, n) for n in sorted(names) if n.endswith(".html")]
    for page in sorted(pages):
        scan = scan_page(page, cache)
        if scan is None:
            continue
        for href in scan.links:
            target, _, anchor = href.partition("#")
            if re.match(r"[A-Za-z][A-Za-z0-9+.-]*:", target) or target.startswith("/"):
                fail("%s: link %r leaves the help folder; links must be relative" % (page, href))
                continue
            if target:
                target_path = os.path.normpath(
                    os.path.join(os.path.dirname(page), urllib.parse.unquote(target)))
                inside = os.path.realpath(target_path).startswith(root + os.sep)
                if not inside or not os.path.isfile(target_path):
                    fail("%s: link %r leads to no page of the help folder" % (page, href))
                    continue
            else:
                target_path = page
            if anchor:
                target_scan = scan_page(target_path, cache)
                if target_scan is not None and anchor not in target_scan.anchors:
                    fail("%s: link %r names an anchor that %s lacks"
                         % (page, href, os.path.basename(target_path)))
    return len(pages)


# ---------------------------------------------------------------- hints

def check_hints(path):
    """Return the number of hints; fail on anything the hints window would
    show wrongly or not at all."""
    data = read_bytes(path, "hints file")
    if data is None:
        return 0
    try:
        text = data.decode("cp1252")
    except UnicodeDecodeError as e:
        fail("%s: byte 0x%02X at offset %d is not a Windows-1252 character"
             % (path, data[e.start], e.start))
        text = data.decode("cp1252", errors="replace")
    wrong_ends = [text.count("\n", 0, m.start()) + 1
                  for m in re.finditer(r"\r(?!\n)|(?<!\r)\n", text)]
    if wrong_ends:
        fail("%s: line ends must be CR LF; %d line(s) end otherwise, the first on line %d"
             % (path, len(wrong_ends), wrong_ends[0]))
    lines = re.split(r"\r\n|\r|\n", text)
    if lines and lines[-1] == "":
        lines.pop()

    seen = {}
    current = None  # number of the hint being read; None before a readable header
    headers = 0
    shown_lines = 0
    for number, line in enumerate(lines, start=1):
        where = "%s line %d" % (path, number)
        if HINT_HEADER in line:
            if current is not None and shown_lines == 0:
                fail("%s: hint %d has no text" % (path, current))
            headers += 1
            field = line[line.index(HINT_HEADER) + len(HINT_HEADER):]
            # The window reads at most five characters after the marker:
            # blanks, then digits, and nothing after them.
            if len(field) > 5 or not re.fullmatch(r" *[0-9]+", field):
                fail("%s: a hint header is %s followed by the hint number only, found %r"
                     % (where, HINT_HEADER, line))
                current = None
                continue
            current = int(field)
            shown_lines = 0
            if current in seen:
                fail("%s: hint %d is already defined on line %d" % (where, current, seen[current]))
            else:
                seen[current] = number
            continue
        if line.strip():
            if headers == 0:
                fail("%s: text before the first hint header is never shown" % where)
            shown_lines += 1
        markers = [m.start() for m in re.finditer(re.escape(SUIT_MARKER), line)]
        if not markers:
            continue
        first = markers[0] + len(SUIT_MARKER)
        letter = line[first:first + 1]
        if letter not in ("c", "d", "h", "s"):
            fail("%s: %s must be followed by c, d, h or s, found %r"
                 % (where, SUIT_MARKER, letter or "end of line"))
        if len(markers) > 1:
            fail("%s: only the first %s of a line becomes a suit symbol; put the others on "
                 "lines of their own" % (where, SUIT_MARKER))
        if len(line) - (first + 1) > MARKER_TAIL_LIMIT:
            fail("%s: the text after the suit marker is cut at %d characters"
                 % (where, MARKER_TAIL_LIMIT))
    if current is not None and shown_lines == 0:
        fail("%s: hint %d has no text" % (path, current))

    if not seen:
        fail("%s: no hints" % path)
        return 0
    # "Next hint" steps the number by one and starts again at 1 after a gap,
    # so hints after a gap, or numbered below 1, would never be shown.
    below = sorted(n for n in seen if n < 1)
    if below:
        fail("%s: hint numbers start at 1; found %s" % (path, ", ".join(map(str, below))))
    missing = sorted(set(range(1, max(seen) + 1)) - set(seen))
    if missing:
        shown = ", ".join(map(str, missing[:10])) + (", ..." if len(missing) > 10 else "")
        fail("%s: hint numbers must run from 1 to %d without gaps; missing %s"
             % (path, max(seen), shown))
    return len(seen)


# ---------------------------------------------------------------- main

def main(argv):
    if len(argv) != 4:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    template, helpdir, hints = argv[1:]

    used = template_contexts(template)
    if not os.path.isdir(helpdir):
        fail("help folder %s does not exist" % helpdir)
        topics, pages = {}, 0
    else:
        topics = read_topics(helpdir)
        pages = check_pages(helpdir)
    for context, name in sorted(FIXED_TOPICS.items()):
        if context not in topics:
            fail("topics.txt has no topic %d (Help > %s)" % (context, name))
    for context, line in sorted(used.items()):
        if context not in topics:
            fail("topics.txt has no topic %d, the help of the cells from %s line %d"
                 % (context, template, line))
    hint_count = check_hints(hints)

    if failures:
        print("check_help: %d fault(s)" % len(failures))
        return 1
    print("check_help: %d template help contexts, %d topics, %d pages, %d hints: all good"
          % (len(used), len(topics), pages, hint_count))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
