#!/usr/bin/python3
"""Reads the running program's accessibility tree over AT-SPI, as a screen reader does.

Finds each control of the window's top band by its role and name, prints their names,
checks the list's rows read their texts, mood and check mark, then presses the mood button
named on the command line through its AT-SPI action and waits for the list to change.
Exits 0 when all of that holds, 1 with the reason otherwise. Every wait is bounded.

    accessibility_test.py MOOD_NAME
"""

import sys
import time

import pyatspi

TIMEOUT = 30.0
MOODS = ["Deep Relaxation", "Cool Blue Chill", "Dinner & Drinks", "Lite & Lively",
         "Move & Groove", "Uptempo Workout", "Intense Activities", "Dance, Dance, Dance",
         "Maximum Wild"]
# The top band, by role and name, in the order Tab takes them.
TOP_BAND = ([("text", "Search"), ("push button", "Mood By Genre"),
             ("push button", "All Tunes")] +
            [("push button", mood) for mood in MOODS] +
            [("push button", "Last Added"), ("push button", "Back"), ("push button", "Play"),
             ("push button", "Next"), ("slider", "Volume")])


def fail(reason):
    print("FAILED: " + reason)
    sys.exit(1)


def wait_for(what, probe):
    deadline = time.monotonic() + TIMEOUT
    while time.monotonic() < deadline:
        found = probe()
        if found:
            return found
        time.sleep(0.2)
    fail("no " + what + " within %d s" % TIMEOUT)


def program():
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and app.name == "Harmovia":
            return app
    return None


def main_frame(app):
    for i in range(app.childCount):
        child = app.getChildAtIndex(i)
        if child is not None and child.getRoleName() == "frame":
            return child
    return None


def controls(node, depth=0):
    """Every node under `node` but the menus, as (role, name, node)."""
    if node is None or depth > 8 or node.getRoleName() == "menu bar":
        return
    yield node.getRoleName(), node.name, node
    for i in range(node.childCount):
        yield from controls(node.getChildAtIndex(i), depth + 1)


def row_count(table):
    return table.queryTable().nRows


def main():
    if len(sys.argv) != 2 or sys.argv[1] not in MOODS:
        fail("name one mood")
    pressed_mood = sys.argv[1]
    frame = wait_for("window of Harmovia on the bus",
                     lambda: main_frame(program()) if program() else None)
    found = {}
    for role, name, node in controls(frame):
        found.setdefault((role, name), node)
    for role, name in TOP_BAND:
        node = found.get((role, name))
        if node is None:
            fail("no %s named \"%s\"" % (role, name))
        print("%-12s %-20s %s" % (role, name, node.description))
    for mood in MOODS:  # described by their help tags
        description = found[("push button", mood)].description
        if not description.startswith("Click To Play "):
            fail("mood button \"%s\" is described as \"%s\"" % (mood, description))
    unnamed = [role for role, name, _ in controls(frame)
               if not name and role in ("push button", "slider", "text", "table")]
    if unnamed:
        fail("controls without a name: %s" % unnamed)

    table = found.get(("table", "Tunes"))
    if table is None:
        fail("no table named \"Tunes\"")
    rows = wait_for("rows in the list", lambda: row_count(table))
    cells = table.queryTable()
    first = [cells.getAccessibleAt(0, column) for column in range(6)]
    checked = first[1].getState().contains(pyatspi.STATE_CHECKED)
    print("row 1: %s | %s | %s | %s | checked: %s" % (
        first[3].name, first[4].name, first[5].name, first[2].name, checked))
    if first[2].name not in MOODS or not checked or not first[3].name:
        fail("the first row reads no title, mood or check mark")

    button = found[("push button", pressed_mood)]
    action = button.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    if "Press" not in names:
        fail("the mood button offers no Press action: %s" % names)
    action.doAction(names.index("Press"))
    after = wait_for("change of the list", lambda: row_count(table) != rows and row_count(table))
    print("pressed \"%s\": the list went from %d rows to %d" % (pressed_mood, rows, after))
    return 0


if __name__ == "__main__":
    sys.exit(main())
