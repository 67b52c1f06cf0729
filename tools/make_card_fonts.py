#!/usr/bin/python3
"""Build the four card fonts used by the editor.

A card font is an ordinary typeface in which the characters '}' '{' ']' '['
draw club, diamond, heart and spade, so that bid texts such as "1}" or "2]"
show suit symbols without any markup. We derive them from free fonts
shipped in Debian packages by pointing those four cmap entries at exact
copies of the font's own suit glyphs (U+2663, U+2666, U+2665, U+2660) and
renaming the result, as the source fonts' licences require for modified
versions.

The brackets get copies rather than the suit glyphs themselves because a
PDF's text layer maps each glyph back to one character: PDF writers (Qt's
among them) pick the lowest code point that reaches a glyph, which would
make every printed suit read back as a bracket. With copies, a suit printed
as U+2663 reads back as a club, and a bracket still reads back as itself.

Usage:
    /usr/bin/python3 tools/make_card_fonts.py OUTDIR
        Writes cardaral.ttf, cardcour.ttf, cardtime.ttf, cardfoot.ttf, the
        licence texts and README-cardfonts.txt into OUTDIR.
    /usr/bin/python3 tools/make_card_fonts.py --check
        Verifies fontTools and all input files are present and prints the
        input files, one per line (used by CMake at configure time).

Output is byte-for-byte reproducible: head.created/modified come from
SOURCE_DATE_EPOCH when set, otherwise from a fixed date.
"""

import copy
import os
import sys
import tempfile

LIBERATION_DIR = "/usr/share/fonts/truetype/liberation2"
DEJAVU_DIR = "/usr/share/fonts/truetype/dejavu"

# Licence texts are taken from the very packages the fonts come from, so the
# shipped text always matches the font files we derived from.
LICENCES = {
    "liberation": ("/usr/share/doc/fonts-liberation2/copyright",
                   "LICENSE-cardfonts-liberation.txt", "fonts-liberation2"),
    "dejavu": ("/usr/share/doc/fonts-dejavu-core/copyright",
               "LICENSE-cardfonts-dejavu.txt", "fonts-dejavu-core"),
}

README_NAME = "README-cardfonts.txt"

# family, output file, source file, human name of the source, licence key,
# monospace?  CardFootlight uses DejaVu Serif: a wide serif with a clearly
# different colour from the Times-like Liberation Serif, TrueType with good
# hinting, a permissive licence and full suit coverage, and already a
# dependency of the build.
FONTS = [
    ("CardArial", "cardaral.ttf",
     os.path.join(LIBERATION_DIR, "LiberationSans-Regular.ttf"),
     "Liberation Sans", "liberation", False),
    ("CardCourier", "cardcour.ttf",
     os.path.join(LIBERATION_DIR, "LiberationMono-Regular.ttf"),
     "Liberation Mono", "liberation", True),
    ("CardTimes", "cardtime.ttf",
     os.path.join(LIBERATION_DIR, "LiberationSerif-Regular.ttf"),
     "Liberation Serif", "liberation", False),
    ("CardFootlight", "cardfoot.ttf",
     os.path.join(DEJAVU_DIR, "DejaVuSerif.ttf"),
     "DejaVu Serif", "dejavu", False),
]

# ASCII code -> suit code point whose glyph it should draw.
SUIT_MAP = {
    0x7D: 0x2663,  # '}' club
    0x7B: 0x2666,  # '{' diamond
    0x5D: 0x2665,  # ']' heart
    0x5B: 0x2660,  # '[' spade
}

# Name records we carry over unchanged: copyright notice, licence text and
# licence URL. Everything else that could still name the original family
# (family, subfamily, unique ID, full name, version, PS name, trademark,
# manufacturer, vendor URL, typographic/WWS names, ...) is dropped and the
# identifying ones are written afresh.
KEEP_NAME_IDS = {0, 13, 14}

# 2024-01-01T00:00:00Z, used when SOURCE_DATE_EPOCH is not set.
DEFAULT_EPOCH = 1704067200

# Bumped whenever the transformation below changes, so that the unique ID
# and version strings of changed fonts differ from earlier builds.
CARD_FONT_REVISION = "2"


class BuildError(Exception):
    pass


def _import_fonttools():
    try:
        from fontTools.ttLib import TTFont  # noqa: F401
        from fontTools.misc import timeTools  # noqa: F401
    except ImportError as e:
        raise BuildError(
            "cannot import fontTools with %s (%s); install the Debian package "
            "python3-fonttools and run this with /usr/bin/python3"
            % (sys.executable, e))


def input_files():
    files = []
    for _family, _out, src, _name, _lic, _mono in FONTS:
        files.append(src)
    for src, _out, _pkg in LICENCES.values():
        files.append(src)
    return files


def check_inputs():
    packages = {"liberation": "fonts-liberation2", "dejavu": "fonts-dejavu-core"}
    for _family, _out, src, name, lic, _mono in FONTS:
        if not os.path.isfile(src):
            raise BuildError("source font %s (%s) not found; install the Debian "
                             "package %s" % (src, name, packages[lic]))
    for src, _out, pkg in LICENCES.values():
        if not os.path.isfile(src):
            raise BuildError("licence file %s not found; install the Debian "
                             "package %s" % (src, pkg))


def build_epoch():
    value = os.environ.get("SOURCE_DATE_EPOCH")
    if value is None or value == "":
        return DEFAULT_EPOCH
    try:
        epoch = int(value)
    except ValueError:
        raise BuildError("SOURCE_DATE_EPOCH=%r is not an integer" % value)
    if epoch < 0:
        raise BuildError("SOURCE_DATE_EPOCH=%r is negative" % value)
    return epoch


def _source_version(font):
    """'2.1.5' from 'Version 2.1.5' (falls back to head.fontRevision)."""
    text = font["name"].getDebugName(5) or ""
    text = text.strip()
    if text.lower().startswith("version "):
        text = text[len("version "):]
    text = text.split(";")[0].strip()
    if not text:
        text = "%.3f" % font["head"].fontRevision
    return text


def remap_suits(font, family):
    best = font.getBestCmap()
    glyf = font["glyf"]
    hmtx = font["hmtx"]
    glyph_for = {}
    for ascii_code, suit_code in SUIT_MAP.items():
        suit_glyph = best.get(suit_code)
        if suit_glyph is None:
            raise BuildError("%s: source font has no glyph for U+%04X"
                             % (family, suit_code))
        # The copy keeps the suit's outline, instructions and advance.
        glyph = suit_glyph + ".card"
        if glyph in glyf:
            raise BuildError("%s: source font already has a glyph named %s"
                             % (family, glyph))
        glyf[glyph] = copy.deepcopy(glyf[suit_glyph])
        hmtx[glyph] = hmtx[suit_glyph]
        glyph_for[ascii_code] = glyph

    order = font.getReverseGlyphMap(rebuild=True)
    remapped = 0
    for table in font["cmap"].tables:
        if table.format == 14:
            # Variation-sequence table: it maps no plain characters.
            continue
        for ascii_code, glyph in glyph_for.items():
            if ascii_code not in table.cmap:
                continue
            if table.format in (0, 2) and order[glyph] > 255:
                # These single-byte formats store glyph IDs in one byte.
                raise BuildError(
                    "%s: cmap subtable (%d,%d) format %d cannot address glyph "
                    "%s (id %d)" % (family, table.platformID, table.platEncID,
                                    table.format, glyph, order[glyph]))
            table.cmap[ascii_code] = glyph
            remapped += 1
    if remapped == 0:
        raise BuildError("%s: no cmap subtable maps the bracket characters"
                         % family)
    return glyph_for


def check_monospace(font, family, glyph_for):
    """A monospaced card font must keep every suit on the fixed advance, or
    card columns in the Courier-style font would no longer line up."""
    hmtx = font["hmtx"]
    m_glyph = font.getBestCmap().get(ord("M"))
    if m_glyph is None:
        raise BuildError("%s: source font has no 'M'" % family)
    width = hmtx[m_glyph][0]
    for ascii_code, glyph in glyph_for.items():
        if hmtx[glyph][0] != width:
            raise BuildError(
                "%s: suit glyph %s has advance %d, not the monospace width %d"
                % (family, glyph, hmtx[glyph][0], width))


def rewrite_names(font, family, source_name, source_version):
    name = font["name"]
    platforms = sorted({(r.platformID, r.platEncID, r.langID)
                        for r in name.names
                        if (r.platformID, r.platEncID, r.langID)
                        in ((1, 0, 0), (3, 1, 0x409))})
    if not platforms:
        platforms = [(3, 1, 0x409)]

    kept = [r for r in name.names if r.nameID in KEEP_NAME_IDS]
    name.names = kept

    subfamily = "Regular"
    ps_name = "%s-%s" % (family, subfamily)
    new = {
        1: family,
        2: subfamily,
        3: "%s; %s; card suit revision %s"
           % (ps_name, source_version, CARD_FONT_REVISION),
        4: family,
        5: "Version %s; card suit revision %s; derived from %s %s"
           % (source_version, CARD_FONT_REVISION, source_name, source_version),
        6: ps_name,
        10: ("%s is a renamed modified version of %s %s: the characters "
             "} { ] [ draw club, diamond, heart and spade for bridge "
             "convention cards. Derived from %s under its original licence."
             % (family, source_name, source_version, source_name)),
    }
    for name_id, text in sorted(new.items()):
        for platform_id, enc_id, lang_id in platforms:
            name.setName(text, name_id, platform_id, enc_id, lang_id)
    name.names.sort()


def build_font(TTFont, timeTools, entry, outdir, epoch):
    family, out_file, src, source_name, _lic, mono = entry
    font = TTFont(src, recalcTimestamp=False)

    if "glyf" not in font:
        raise BuildError("%s: %s is not a TrueType-outline font" % (family, src))

    os2 = font["OS/2"]
    if os2.fsType != 0:
        # Our sources are all "installable"; anything else would mean a
        # different upstream font whose embedding terms we have not reviewed.
        raise BuildError("%s: %s has OS/2 fsType 0x%04X, expected 0 "
                         "(installable)" % (family, src, os2.fsType))

    source_version = _source_version(font)
    glyph_for = remap_suits(font, family)
    if mono:
        check_monospace(font, family, glyph_for)
    rewrite_names(font, family, source_name, source_version)

    # FontForge's private timestamp table describes the upstream file, not
    # ours, and would only defeat reproducibility checks.
    if "FFTM" in font:
        del font["FFTM"]

    stamp = timeTools.timestampSinceEpoch(epoch)
    font["head"].created = stamp
    font["head"].modified = stamp
    os2.fsType = 0

    # Write next to the target and rename, so an interrupted build never
    # leaves a truncated font that looks up to date to make/ninja.
    target = os.path.join(outdir, out_file)
    fd, tmp = tempfile.mkstemp(prefix=".%s." % out_file, dir=outdir)
    os.close(fd)
    try:
        font.save(tmp)
        os.chmod(tmp, 0o644)
        os.replace(tmp, target)
    except BaseException:
        if os.path.exists(tmp):
            os.unlink(tmp)
        raise
    return target


def _write_text(path, text):
    tmp = path + ".tmp"
    with open(tmp, "w", encoding="utf-8", newline="\n") as f:
        f.write(text)
    os.replace(tmp, path)


def write_licences(outdir):
    for src, out, _pkg in LICENCES.values():
        with open(src, "r", encoding="utf-8") as f:
            text = f.read()
        _write_text(os.path.join(outdir, out), text)

    lines = [
        "Card fonts",
        "==========",
        "",
        "These fonts let the editor show suit symbols with plain text: in each",
        "of them the characters } { ] [ draw club, diamond, heart and spade.",
        "Everything else is unchanged from the font each one derives from.",
        "",
    ]
    for family, out_file, _src, source_name, lic, _mono in FONTS:
        lines.append("  %-8s %-14s derived from %s (see %s)"
                     % (out_file, family, source_name, LICENCES[lic][1]))
    lines += [
        "",
        "They are renamed, modified versions of those fonts and are distributed",
        "under the same licences:",
        "",
        "  - The Liberation fonts are licensed under the SIL Open Font License,",
        "    Version 1.1, with the Reserved Font Names \"Liberation\", \"Arimo\",",
        "    \"Tinos\" and \"Cousine\"; as that licence requires, the modified",
        "    fonts use none of those names. Full text: " + LICENCES["liberation"][1],
        "  - DejaVu fonts are based on Bitstream Vera (Bitstream Vera licence);",
        "    DejaVu changes are in the public domain. As that licence requires,",
        "    the modified font's names contain neither \"Bitstream\" nor \"Vera\".",
        "    Full text: " + LICENCES["dejavu"][1],
        "",
        "The original copyright and licence entries are kept in each font's",
        "name table.",
        "",
    ]
    _write_text(os.path.join(outdir, README_NAME), "\n".join(lines))


def main(argv):
    if len(argv) == 2 and argv[1] == "--check":
        _import_fonttools()
        check_inputs()
        for path in input_files():
            print(path)
        return 0
    if len(argv) != 2 or argv[1].startswith("-"):
        sys.stderr.write("usage: %s OUTDIR | --check\n" % os.path.basename(argv[0]))
        return 2

    outdir = argv[1]
    _import_fonttools()
    from fontTools.ttLib import TTFont
    from fontTools.misc import timeTools

    check_inputs()
    epoch = build_epoch()
    os.makedirs(outdir, exist_ok=True)
    for entry in FONTS:
        build_font(TTFont, timeTools, entry, outdir, epoch)
    write_licences(outdir)
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main(sys.argv))
    except BuildError as e:
        sys.stderr.write("make_card_fonts: error: %s\n" % e)
        sys.exit(1)
    except Exception as e:  # keep failures to one readable line in build logs
        sys.stderr.write("make_card_fonts: error: %s: %s\n"
                         % (type(e).__name__, e))
        sys.exit(1)
