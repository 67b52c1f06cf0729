"""Installs the build into a scratch prefix and checks the installation as a
desktop and a user meet it: every file in its place, icons of the sizes
their folders name, a menu entry and file types the desktop tools accept and
that send cards and packages to the editor, and the installed programs
finding their data in share/zqwcce (the editor also opening a card named on
its command line, read from its window title on a real X server).

usage: check_install.py CMAKE BUILD_DIR SOURCE_DIR
Run under xvfb-run; needs xdotool, pdffonts and the desktop-file-utils and
shared-mime-info tools.
"""

import json
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import zlib

ICON_SIZES = (16, 32, 48, 64, 128, 256)
CAPTION = "ZQW Convention card editor: "

failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAIL:", what)
    return condition


def run(args, **kwargs):
    return subprocess.run(args, capture_output=True, text=True, timeout=60, **kwargs)


def png_pixels(path):
    """(width, height, rows of RGBA tuples) of an 8-bit RGBA or RGB PNG."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("not a PNG")
    pos, idat, header = 8, b"", None
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    width, height, depth, colour, _, _, interlace = header
    if depth != 8 or colour not in (2, 6) or interlace:
        raise ValueError(f"unexpected PNG kind {header}")
    channels = 4 if colour == 6 else 3
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, previous = [], bytearray(stride)
    for y in range(height):
        start = y * (stride + 1)
        kind, line = raw[start], bytearray(raw[start + 1:start + 1 + stride])
        for i in range(stride):
            left = line[i - channels] if i >= channels else 0
            up = previous[i]
            corner = previous[i - channels] if i >= channels else 0
            if kind == 1:
                line[i] = (line[i] + left) & 0xFF
            elif kind == 2:
                line[i] = (line[i] + up) & 0xFF
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 0xFF
            elif kind == 4:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                pred = left if pa <= pb and pa <= pc else up if pb <= pc else corner
                line[i] = (line[i] + pred) & 0xFF
        pixels = [tuple(line[i:i + channels]) + ((255,) if channels == 3 else ())
                  for i in range(0, stride, channels)]
        rows.append(pixels)
        previous = line
    return width, height, rows


def check_icon(path, size):
    try:
        width, height, rows = png_pixels(path)
    except (OSError, ValueError, zlib.error) as error:
        check(False, f"{path}: {error}")
        return
    check((width, height) == (size, size), f"{path} is {width}x{height}, not {size}x{size}")
    opaque = [p for row in rows for p in row if p[3] == 255]
    # A card with the emblem on it: mostly opaque, white card, the globe's
    # blue and a red suit.
    check(len(opaque) >= size * size // 2, f"{path}: the card does not fill the icon")
    check(any(r > 200 and g > 200 and b > 200 for r, g, b, _ in opaque), f"{path}: no white card")
    check(any(b > r + 60 and b > g for r, g, b, _ in opaque), f"{path}: no blue globe")
    if size >= 32:
        check(any(r > g + 80 and r > b + 80 for r, g, b, _ in opaque), f"{path}: no red suit")


def check_layout(prefix):
    expected = [
        "bin/zqwcce", "bin/zqwcce-cli", "lib/zqwcce/modules/zqwcce-output.so",
        "share/zqwcce/zqw.sel", "share/zqwcce/ccehints.txt",
        "share/zqwcce/zqwcce.hlp/topics.txt",
        "share/zqwcce/cardaral.ttf", "share/zqwcce/cardcour.ttf",
        "share/zqwcce/cardfoot.ttf", "share/zqwcce/cardtime.ttf",
        "share/zqwcce/LICENSE-cardfonts-liberation.txt",
        "share/zqwcce/LICENSE-cardfonts-dejavu.txt",
        "share/applications/zqwcce.desktop",
        "share/mime/packages/zqwcce.xml",
    ] + [f"share/icons/hicolor/{s}x{s}/apps/zqwcce.png" for s in ICON_SIZES]
    for name in expected:
        check(os.path.isfile(os.path.join(prefix, name)), f"{name} not installed")
    for name in ("bin/zqwcce", "bin/zqwcce-cli"):
        check(os.access(os.path.join(prefix, name), os.X_OK), f"{name} not executable")
    # Nothing of the build tree's program folder besides the data comes
    # along: the programs live in bin only.
    check(not os.path.exists(os.path.join(prefix, "share/zqwcce/zqwcce")),
          "the editor installed into the data folder")
    check_output_module(prefix)
    for size in ICON_SIZES:
        path = os.path.join(prefix, f"share/icons/hicolor/{size}x{size}/apps/zqwcce.png")
        if os.path.isfile(path):
            check_icon(path, size)


def check_output_module(prefix):
    # The editor starts without print support, libcurl and libzip; the
    # module that brings them resolves every symbol and library it needs.
    editor = run(["ldd", os.path.join(prefix, "bin/zqwcce")]).stdout
    for library in ("libQt6PrintSupport", "libcurl", "libzip"):
        check(library not in editor, f"the installed editor links {library}: {editor}")
    module = os.path.join(prefix, "lib/zqwcce/modules/zqwcce-output.so")
    if os.path.isfile(module):
        result = run(["ldd", "-r", module])
        # In a sanitizer build the module takes the sanitizers' runtime from
        # the program that loads it; nothing else may be left unresolved.
        undefined = [line for line in (result.stdout + result.stderr).splitlines()
                     if "undefined symbol" in line
                     and not re.search(r"undefined symbol: _*(asan|ubsan|lsan|sanitizer|sancov)",
                                       line)]
        check("not found" not in result.stdout and not undefined,
              f"the output module does not resolve: {undefined or result.stdout}")
        for library in ("libQt6PrintSupport", "libcurl", "libzip"):
            check(library in result.stdout, f"the output module lacks {library}")


def check_desktop_files(prefix):
    desktop = os.path.join(prefix, "share/applications/zqwcce.desktop")
    result = run(["desktop-file-validate", desktop])
    check(result.returncode == 0 and not result.stdout.strip(),
          f"desktop-file-validate: {result.stdout}{result.stderr}")
    # What a desktop's file manager consults: the MIME database built from
    # our types, and the map from types to programs.
    mime = os.path.join(prefix, "share/mime")
    result = run(["update-mime-database", "-V", mime])
    check(result.returncode == 0 and "error" not in result.stderr.lower(),
          f"update-mime-database: {result.stderr}")
    globs = open(os.path.join(mime, "globs2"), encoding="utf-8").read().splitlines() \
        if os.path.isfile(os.path.join(mime, "globs2")) else []
    for line in ("50:application/x-zqw-card:*.ccf", "50:application/x-zqw-package:*.zqw"):
        check(line in globs, f"globs2 lacks {line}: {globs}")
    subclasses = os.path.join(mime, "subclasses")
    check(os.path.isfile(subclasses) and "application/x-zqw-package application/zip"
          in open(subclasses, encoding="utf-8").read(), "the package type is not a ZIP subclass")
    applications = os.path.join(prefix, "share/applications")
    result = run(["update-desktop-database", applications])
    check(result.returncode == 0, f"update-desktop-database: {result.stderr}")
    cache_path = os.path.join(applications, "mimeinfo.cache")
    cache = open(cache_path, encoding="utf-8").read().splitlines() \
        if os.path.isfile(cache_path) else []
    for kind in ("application/x-zqw-card", "application/x-zqw-package"):
        check(f"{kind}=zqwcce.desktop;" in cache, f"mimeinfo.cache lacks {kind}: {cache}")


def check_cli(prefix, work, source):
    cli = os.path.join(prefix, "bin/zqwcce-cli")
    template = os.path.join(prefix, "share/zqwcce/zqw.sel")
    result = run([cli, "template", template])
    if check(result.returncode == 0, f"zqwcce-cli template: {result.returncode} {result.stderr}"):
        shape = json.loads(result.stdout)
        check(len(shape.get("groups", [])) > 0 and not shape.get("messages"),
              f"installed template read wrongly: {result.stdout[:300]}")
    # The PDF uses the card fonts only when the installed tool found them in
    # share/zqwcce: a missing font would silently become another one.
    card = os.path.join(work, "filled.ccf")
    pdf = os.path.join(work, "card.pdf")
    result = run([cli, "pdf", template, card, pdf], env=dict(os.environ, QT_QPA_PLATFORM="offscreen"))
    if check(result.returncode == 0, f"zqwcce-cli pdf: {result.returncode} {result.stderr}"):
        fonts = run(["pdffonts", pdf]).stdout
        check("CardArial" in fonts, f"the installed tool printed without its card fonts: {fonts}")


def window_titled(title, seconds):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        found = run(["xdotool", "search", "--name", title]).stdout.split()
        for window in found:
            if run(["xdotool", "getwindowname", window]).stdout.strip() == title:
                return True
        time.sleep(0.2)
    return False


def check_editor(prefix, work):
    # A first run of a user of its own, hints off; the card is named
    # relative to the working folder, as a shell passes it.
    config = os.path.join(work, "config")
    os.makedirs(os.path.join(config, "ZQW_VEZ"))
    with open(os.path.join(config, "ZQW_VEZ/zqwcce.ini"), "wb") as f:
        f.write(b"[setup]\r\nhintstart=0\r\n")
    env = dict(os.environ, XDG_CONFIG_HOME=config, XDG_STATE_HOME=os.path.join(work, "state"),
               QT_QPA_PLATFORM="xcb")
    # Without its template the editor would show only a message box, and no
    # window of that title.
    editor = subprocess.Popen([os.path.join(prefix, "bin/zqwcce"), "filled.ccf"], cwd=work,
                              env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        title = CAPTION + os.path.join(work, "filled.ccf")
        opened = window_titled(title, 30)
        check(editor.poll() is None, f"the installed editor ended: {editor.returncode}")
        check(opened, f"no window titled {title!r}: "
              f"{run(['xdotool', 'search', '--name', 'ZQW']).stdout}")
        if opened:
            # Print comes from the output module in lib/zqwcce/modules: its window
            # shows only when the installed editor found and loaded it.
            window = run(["xdotool", "search", "--name", title]).stdout.split()[0]
            run(["xdotool", "mousemove", "--window", window, "5", "5", "click", "1"])
            run(["xdotool", "key", "ctrl+p"])
            check(window_titled("Print Convention Card", 30),
                  "the installed editor showed no print window (output module not loaded)")
    finally:
        editor.kill()
        editor.wait()


def main():
    cmake, build, source = sys.argv[1:4]
    with tempfile.TemporaryDirectory(prefix="zqwcce-install-") as scratch:
        prefix = os.path.join(scratch, "prefix")
        work = os.path.join(scratch, "work")
        os.makedirs(work)
        for name in ("filled.ccf", "filled-notes.txt"):
            shutil.copy(os.path.join(source, "tests/print", name), work)
        result = run([cmake, "--install", build, "--prefix", prefix])
        if not check(result.returncode == 0, f"cmake --install: {result.stdout}{result.stderr}"):
            return 1
        check_layout(prefix)
        check_desktop_files(prefix)
        check_cli(prefix, work, source)
        check_editor(prefix, work)
    print(f"{len(failures)} failed" if failures else "installation checked")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
