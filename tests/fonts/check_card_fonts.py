#!/usr/bin/python3
"""Check the generated card fonts in a program folder.

Usage: /usr/bin/python3 check_card_fonts.py PROGRAM_DIR

Deliberately independent of tools/make_card_fonts.py: it states what the
editor relies on (family names, suits on } { ] [ and at their own code
points, readable as suits in a PDF's text, fixed pitch for the
Courier-style font, fontconfig seeing the family) and that the licence
renaming rules were followed, rather than re-running the generator's logic.
Exits 1 with one line per failed check.
"""

import os
import shutil
import subprocess
import sys

try:
    from fontTools.ttLib import TTFont
except ImportError as e:
    print("FAIL: cannot import fontTools with %s (%s); install python3-fonttools"
          % (sys.executable, e))
    sys.exit(1)

# file, family, monospace?
FONTS = [
    ("cardaral.ttf", "CardArial", False),
    ("cardcour.ttf", "CardCourier", True),
    ("cardtime.ttf", "CardTimes", False),
    ("cardfoot.ttf", "CardFootlight", False),
]

SUITS = [("}", 0x2663, "club"), ("{", 0x2666, "diamond"),
         ("]", 0x2665, "heart"), ("[", 0x2660, "spade")]

# Names the licences reserve for the original fonts (Liberation's OFL
# Reserved Font Names, and the Bitstream Vera licence's rule).
RESERVED = ["liberation", "arimo", "tinos", "cousine",
            "dejavu", "vera", "bitstream"]
# Name IDs that identify the font to users and software.
IDENTIFYING_IDS = {1, 2, 3, 4, 6, 16, 17, 18, 21, 22, 25}

AUX_FILES = ["LICENSE-cardfonts-liberation.txt", "LICENSE-cardfonts-dejavu.txt",
             "README-cardfonts.txt"]

failures = []


def fail(msg):
    failures.append(msg)
    print("FAIL: " + msg)


def check_names(path, font, family):
    name = font["name"]
    fam_records = [r for r in name.names if r.nameID == 1]
    if not fam_records:
        fail("%s: no family name (nameID 1)" % path)
    for r in fam_records:
        if r.toUnicode() != family:
            fail("%s: nameID 1 (platform %d) is %r, expected %r"
                 % (path, r.platformID, r.toUnicode(), family))
    for r in name.names:
        if r.nameID == 16 and r.toUnicode() != family:
            fail("%s: typographic family (nameID 16) is %r, expected %r"
                 % (path, r.toUnicode(), family))
        if r.nameID == 6 and r.toUnicode() != family + "-Regular":
            fail("%s: PostScript name is %r, expected %r"
                 % (path, r.toUnicode(), family + "-Regular"))
        if r.nameID in IDENTIFYING_IDS:
            text = r.toUnicode().lower()
            for word in RESERVED:
                if word in text:
                    fail("%s: nameID %d %r contains reserved name %r"
                         % (path, r.nameID, r.toUnicode(), word))
    # The licences must travel inside the font too.
    for name_id in (0, 13):
        if not name.getDebugName(name_id):
            fail("%s: nameID %d (copyright/licence) missing" % (path, name_id))


def same_outline(glyf, a, b):
    """True when glyphs a and b draw the same contours."""
    ga, gb = glyf[a], glyf[b]
    if ga.numberOfContours != gb.numberOfContours:
        return False
    if ga.numberOfContours <= 0:
        return ga.numberOfContours == 0
    ca, ea, fa = ga.getCoordinates(glyf)
    cb, eb, fb = gb.getCoordinates(glyf)
    return list(ca) == list(cb) and list(ea) == list(eb) and list(fa) == list(fb)


def check_suits(path, font, family):
    best = font.getBestCmap()
    glyf = font["glyf"] if "glyf" in font else None
    hmtx = font["hmtx"]
    seen = set()
    for char, suit, label in SUITS:
        suit_glyph = best.get(suit)
        if suit_glyph is None:
            fail("%s: no glyph for U+%04X (%s)" % (path, suit, label))
            continue
        char_glyph = best.get(ord(char))
        if char_glyph is None:
            fail("%s: %r is not mapped" % (path, char))
            continue
        # The bracket draws exactly the suit: the same outline and advance.
        if glyf is not None and not same_outline(glyf, char_glyph, suit_glyph):
            fail("%s: %r (glyph %r) does not draw the %s glyph %r"
                 % (path, char, char_glyph, label, suit_glyph))
        if hmtx[char_glyph][0] != hmtx[suit_glyph][0]:
            fail("%s: %r advance %d differs from the %s advance %d"
                 % (path, char, hmtx[char_glyph][0], label, hmtx[suit_glyph][0]))
        # A PDF's text layer reads a glyph back as the lowest code point
        # that reaches it, so the suit's own glyph must be reached from no
        # ASCII character, or printed suits would read back as brackets.
        below = [code for code, glyph in best.items()
                 if glyph == suit_glyph and code < suit]
        if below:
            fail("%s: the %s glyph %r is also reached from %s, so PDF text "
                 "would not read it as U+%04X"
                 % (path, label, suit_glyph,
                    ", ".join("U+%04X" % c for c in below), suit))
        # Every subtable that maps the character must agree, or Windows and
        # macOS (which may pick a different subtable) would disagree.
        for table in font["cmap"].tables:
            if table.format == 14:
                continue
            got = table.cmap.get(ord(char))
            if got is not None and got != char_glyph:
                fail("%s: cmap (%d,%d) format %d maps %r to %r, not %r"
                     % (path, table.platformID, table.platEncID, table.format,
                        char, got, char_glyph))
        if glyf is not None and glyf[suit_glyph].numberOfContours == 0:
            fail("%s: %s glyph %r is empty" % (path, label, suit_glyph))
        seen.add(char_glyph)
    if len(seen) != len(SUITS):
        fail("%s: the four suit characters do not use four distinct glyphs"
             % path)
    # Ordinary text must still render normally.
    for ch in "AKQJT0123456789NSEWx":
        if ord(ch) not in best:
            fail("%s: %r is no longer mapped" % (path, ch))


def check_monospace(path, font):
    best = font.getBestCmap()
    hmtx = font["hmtx"]
    width = hmtx[best[ord("M")]][0]
    for char, suit, label in SUITS:
        glyph = best.get(ord(char))
        if glyph is not None and hmtx[glyph][0] != width:
            fail("%s: %s advance %d differs from 'M' advance %d"
                 % (path, label, hmtx[glyph][0], width))
    if not font["post"].isFixedPitch:
        fail("%s: post.isFixedPitch is not set" % path)


def check_fontconfig(path, family):
    fc_scan = shutil.which("fc-scan")
    if fc_scan is None:
        fail("fc-scan not found; install the Debian package fontconfig")
        return
    proc = subprocess.run([fc_scan, "--format", "%{family}", path],
                          stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                          universal_newlines=True)
    if proc.returncode != 0:
        fail("%s: fc-scan failed: %s" % (path, proc.stderr.strip()))
        return
    families = [f.strip() for f in proc.stdout.split(",")]
    if family not in families:
        fail("%s: fontconfig reports family %r, expected %r"
             % (path, proc.stdout.strip(), family))


def main(argv):
    if len(argv) != 2:
        print("usage: check_card_fonts.py PROGRAM_DIR")
        return 2
    outdir = argv[1]
    for file_name, family, mono in FONTS:
        path = os.path.join(outdir, file_name)
        if not os.path.isfile(path):
            fail("%s missing (build the card_fonts target first)" % path)
            continue
        try:
            font = TTFont(path)
        except Exception as e:
            fail("%s: cannot be read as a font: %s" % (path, e))
            continue
        check_names(path, font, family)
        check_suits(path, font, family)
        if mono:
            check_monospace(path, font)
        if font["OS/2"].fsType != 0:
            fail("%s: OS/2 fsType is 0x%04X, expected 0 (installable)"
                 % (path, font["OS/2"].fsType))
        check_fontconfig(path, family)

    for aux in AUX_FILES:
        path = os.path.join(outdir, aux)
        if not os.path.isfile(path) or os.path.getsize(path) == 0:
            fail("%s missing or empty" % path)
    readme = os.path.join(outdir, "README-cardfonts.txt")
    if os.path.isfile(readme):
        with open(readme, encoding="utf-8") as f:
            text = f.read()
        for _file, family, _mono in FONTS:
            if family not in text:
                fail("%s does not mention %s" % (readme, family))
    lic = os.path.join(outdir, "LICENSE-cardfonts-liberation.txt")
    if os.path.isfile(lic):
        with open(lic, encoding="utf-8") as f:
            if "SIL OPEN FONT LICENSE" not in f.read().upper():
                fail("%s does not contain the Open Font License text" % lic)

    if failures:
        print("%d card font check(s) failed" % len(failures))
        return 1
    print("card fonts OK: %s" % ", ".join(f for _n, f, _m in FONTS))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
