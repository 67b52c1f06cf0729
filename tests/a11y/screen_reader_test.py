#!/usr/bin/python3
"""The editor as a screen reader finds it.

Runs itself again inside a virtual X display (xvfb-run) and a private D-Bus
session (dbus-run-session), where it starts the accessibility bus and the
editor, then reads the editor's window over AT-SPI, as a screen reader does,
and checks that what a user who cannot see the screen hears names every part
of the card: the grid, an answer cell with its line label and column heading
(suits said as words), the tabs with their full names, and the notes editor.

Usage: screen_reader_test.py ZQWCCE WORK_FOLDER
"""

import os
import random
import shutil
import socket
import subprocess
import sys
import time

DEADLINE = 60  # seconds before the whole test counts as hung; a run takes a few
SUIT_CHARACTERS = set("{}[]")
# The exit status of a run whose X display was not its own: xvfb-run -a
# can hand two runs started together the same display number.
DISPLAY_LOST = 3


class Failure(Exception):
    pass


class DisplayLost(Exception):
    pass


def wait_for(what, probe, timeout=15):
    """probe() until it returns something true; fail after timeout seconds."""
    end = time.monotonic() + timeout
    while True:
        found = probe()
        if found:
            return found
        if time.monotonic() > end:
            raise Failure("timed out waiting for " + what)
        time.sleep(0.2)


def start_bus():
    launcher = subprocess.Popen(
        ["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"],
        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    from gi.repository import Gio, GLib
    session = Gio.bus_get_sync(Gio.BusType.SESSION, None)

    def bus_up():
        reply = session.call_sync("org.freedesktop.DBus", "/org/freedesktop/DBus",
                                  "org.freedesktop.DBus", "NameHasOwner",
                                  GLib.Variant("(s)", ("org.a11y.Bus",)), GLib.VariantType("(b)"),
                                  Gio.DBusCallFlags.NONE, 2000, None)
        return reply.unpack()[0]

    wait_for("the accessibility bus", bus_up)
    return launcher


def wait_for_display():
    """Until the X server xvfb-run started takes connections."""
    number = os.environ["DISPLAY"].lstrip(":").split(".")[0]

    def accepts():
        with socket.socket(socket.AF_UNIX) as client:
            try:
                client.connect("/tmp/.X11-unix/X" + number)
                return True
            except OSError:
                return False

    try:
        wait_for("the X display " + os.environ["DISPLAY"], accepts, timeout=10)
    except Failure as failure:
        raise DisplayLost(str(failure))


def start_editor(program, folder):
    config = os.path.join(folder, "config")
    shutil.rmtree(config, ignore_errors=True)
    os.makedirs(os.path.join(config, "ZQW_VEZ"))
    # A first run, without the start-up hints over the window.
    with open(os.path.join(config, "ZQW_VEZ", "zqwcce.ini"), "wb") as ini:
        ini.write(b"[setup]\r\nhintstart=0\r\n")
    # Settings and recovery copies of its own: nothing another run left
    # behind asks a question at start.
    env = dict(os.environ, XDG_CONFIG_HOME=config, XDG_STATE_HOME=config, QT_QPA_PLATFORM="xcb",
               QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1")
    with open(os.path.join(folder, "editor.log"), "wb") as log:
        return subprocess.Popen([program], env=env, cwd=folder, stdout=log,
                                stderr=subprocess.STDOUT)


def stop(process):
    if process.poll() is None:
        process.terminate()
        try:
            process.wait(5)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait(5)


def find_all(root, role, name=None, depth=12):
    """The descendants with this role (and name), breadth first. Tables are
    not entered: their cells are reached through the table itself."""
    import pyatspi
    found = []
    level = [root]
    for _ in range(depth):
        below = []
        for node in level:
            try:
                count = node.childCount
            except Exception:
                continue
            for i in range(count):
                child = node.getChildAtIndex(i)
                if child is None:
                    continue
                if child.getRole() == role and (name is None or child.name == name):
                    found.append(child)
                if child.getRole() not in (pyatspi.ROLE_TABLE, pyatspi.ROLE_MENU_BAR):
                    below.append(child)
        level = below
        if not level:
            break
    return found


def find(root, role, name=None):
    found = find_all(root, role, name)
    return found[0] if found else None


def check(condition, message):
    if not condition:
        raise Failure(message)


def tabs_of(tab_list):
    return [tab_list.getChildAtIndex(i) for i in range(tab_list.childCount)]


def press(tab):
    tab.queryAction().doAction(0)


def run(program, folder):
    import pyatspi

    wait_for_display()
    editor = start_editor(program, folder)
    try:
        desktop = pyatspi.Registry.getDesktop(0)

        def application():
            if editor.poll() is not None:
                with open(os.path.join(folder, "editor.log"), errors="replace") as log:
                    said = log.read()
                if "could not connect to display" in said:
                    raise DisplayLost(said)
                raise Failure("the editor ended: " + said)
            for i in range(desktop.childCount):
                app = desktop.getChildAtIndex(i)
                if app is not None and app.get_process_id() == editor.pid:
                    return app
            return None

        app = wait_for("the editor on the accessibility bus", application)
        frame = wait_for("the main window", lambda: find(app, pyatspi.ROLE_FRAME))

        def fresh(probe):
            frame.clear_cache()
            return probe()

        # The tabs: captions cut to the room there is, full names as their
        # descriptions. (A tab list is named after its current tab.)
        def tab_lists():
            lists = find_all(frame, pyatspi.ROLE_PAGE_TAB_LIST)
            return lists if len(lists) == 2 else None

        groups, sections = wait_for("the group and section tabs", lambda: fresh(tab_lists))
        group_tabs = [tab for tab in tabs_of(groups) if tab.getRole() == pyatspi.ROLE_PAGE_TAB]
        descriptions = [tab.description for tab in group_tabs]
        check(descriptions[0] == "Players", "first group tab described as %r" % descriptions[0])
        check("Openings" in descriptions, "no group tab described as Openings: %r" % descriptions)
        check(all(descriptions), "a group tab without a description: %r" % descriptions)
        check(group_tabs[0].name.startswith("1:"), "first group tab is %r" % group_tabs[0].name)
        check(sections.getChildAtIndex(0).description == "Partnership",
              "first section tab described as %r" % sections.getChildAtIndex(0).description)
        check(find(frame, pyatspi.ROLE_TABLE, "Partnership, answers") is not None,
              "no grid named \"Partnership, answers\"")

        # The opening bids: labels with suits.
        press(group_tabs[descriptions.index("Openings")])
        grid = wait_for("the opening bids' grid", lambda: fresh(
            lambda: find(frame, pyatspi.ROLE_TABLE, "Opening bids, answers")))
        cells = grid.queryTable()
        check(cells.nColumns == 8, "opening bids grid has %d columns" % cells.nColumns)
        answer = cells.getAccessibleAt(0, 4)
        check(answer.name == "1 clubs, Meaning: blank",
              "first meaning cell is named %r" % answer.name)
        label = cells.getAccessibleAt(2, 0)
        check(label.name == "1 hearts" and label.description == "Line label",
              "third label cell is %r / %r" % (label.name, label.description))
        check(cells.getColumnHeader(4).name == "Meaning",
              "column 5's header is %r" % cells.getColumnHeader(4).name)
        check(cells.getRowHeader(3).name == "1 spades",
              "row 4's header is %r" % cells.getRowHeader(3).name)
        for row in range(4):
            for column in (0, 1):
                name = cells.getAccessibleAt(row, column).name
                check(not SUIT_CHARACTERS & set(name), "a cell says a bracket: %r" % name)

        # The notes.
        press(group_tabs[-1])
        notes = wait_for("the notes editor", lambda: fresh(
            lambda: find(frame, pyatspi.ROLE_TEXT, "Notes text editor")))
        check(notes.description.startswith("Notes file"),
              "notes editor described as %r" % notes.description)
    finally:
        stop(editor)


def inside(program, folder):
    started = time.monotonic()
    launcher = start_bus()
    try:
        run(program, folder)
    except DisplayLost as lost:
        print("the X display was another run's:", lost)
        return DISPLAY_LOST
    except Failure as failure:
        print("FAIL:", failure)
        return 1
    finally:
        stop(launcher)
    print("screen reader tree as expected (%.1f s)" % (time.monotonic() - started))
    return 0


def main():
    if sys.argv[1] == "--inside":
        return inside(sys.argv[2], sys.argv[3])
    program, folder = sys.argv[1], sys.argv[2]
    os.makedirs(folder, exist_ok=True)
    for _ in range(3):
        # Display numbers from a random start, away from the 99 every other
        # xvfb-run -a starts from.
        number = random.randrange(200, 5000)
        try:
            result = subprocess.run(
                ["xvfb-run", "-a", "-n", str(number), "-s", "-screen 0 1280x900x24",
                 "dbus-run-session", "--",
                 "/usr/bin/python3", os.path.abspath(__file__), "--inside", program, folder],
                timeout=DEADLINE)
        except subprocess.TimeoutExpired:
            print("FAIL: no result within %d s" % DEADLINE)
            return 1
        if result.returncode != DISPLAY_LOST:
            return result.returncode
    print("FAIL: no X display of its own in three tries")
    return 1


if __name__ == "__main__":
    sys.exit(main())
