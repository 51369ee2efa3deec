#!/usr/bin/python3
# Reads the running game through the accessibility bus (AT-SPI), as a screen reader would:
#   read_screen.py PID board            the board: "cells=" 80 captions by cell ("" for none
#                                       showing) joined by "|", then "lines=", "lamps=", "status=",
#                                       "clock=" and "window=WxH" (the main window's extents)
#   read_screen.py PID table WINDOW TABLE   the rows of a table in a window, one line each,
#                                       cells joined by "|"
#   read_screen.py PID set WINDOW FIELD TEXT    types TEXT into a text field
#   read_screen.py PID point WINDOW TABLE ROW   the screen point "x y" of a row's first cell
#   read_screen.py PID spot WINDOW NAME     the screen point "x y" of the centre of NAME
#   read_screen.py PID name WINDOW NAME     the first object whose name starts with NAME, line
#                                       breaks read as "/" (its description on the next line)
#   read_screen.py PID text WINDOW NAME     the longest text of the objects named NAME
#   read_screen.py PID checked WINDOW NAME  "checked" or "unchecked"
import os
import sys
import time

import pyatspi

ROWS, CELL, LEFT, TOP = 8, 48, 10, 34
SCALE = float(os.environ.get("HOROKATA_TEST_SCALE", "1"))  # the window's size factor


def app_of(pid):
    for _ in range(50):
        for a in pyatspi.Registry.getDesktop(0):
            if a is not None and a.get_process_id() == pid:
                return a
        time.sleep(0.1)
    raise SystemExit("no application with pid %d on the bus" % pid)


def walk(node):
    for child in node:
        if child is not None:
            yield child
            yield from walk(child)


def showing(node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


def window(app, name):
    for w in app:
        if w is not None and w.name == name and showing(w):
            return w
    raise SystemExit("no window %s showing (windows: %s)" % (name, [w.name for w in app if w is not None]))


def named(root, name, role=None):
    for n in walk(root):
        if n.name == name and (role is None or n.getRole() == role):
            return n
    raise SystemExit("nothing named %s" % name)


def board(app):
    main = window(app, "ホロカタ")
    # Qt gives the same screen coordinates for either kind asked: measure from the window.
    wx, wy, ww, wh = main.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    cells = [""] * 80
    lines, lamps, status = {}, 0, ""
    clock_and_hints = {}
    for n in walk(main):
        if not showing(n):
            continue
        role, name = n.getRole(), n.name or ""
        if role in (pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_TOGGLE_BUTTON, pyatspi.ROLE_CHECK_BOX):
            if name.startswith("あと"):
                lamps += 1
                continue
            if len(name) == 1:
                x, y, w, h = n.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
                column, row = int((x - wx - LEFT * SCALE) // (CELL * SCALE)), int((y - wy - TOP * SCALE) // (CELL * SCALE))
                # A tile's extents are the tile on the screen: its side is the cell's at this size.
                if 0 <= column < 10 and 0 <= row < ROWS and w == h == round(CELL * SCALE):
                    cells[column * ROWS + row] = name
        elif role == pyatspi.ROLE_LABEL and len(name) >= 3 and name[:2].isdigit() and name[2] == "：":
            lines[int(name[:2])] = name[3:]
        elif role == pyatspi.ROLE_LABEL and n.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)[1] - wy < 30 * SCALE:
            # The clock ("時間 1:05") and the hint count ("ヒント 2") sit beside the status.
            if name.split(" ")[0] in ("時間", "ヒント"):
                clock_and_hints[name.split(" ")[0]] = name
            elif name and not name.startswith("＜"):
                status = name
    print("cells=" + "|".join(cells))
    print("lines=" + "".join(lines[k] for k in sorted(lines)))
    print("lamps=%d" % lamps)
    print("status=" + status)
    print("clock=" + clock_and_hints.get("時間", ""))
    print("window=%dx%d" % (ww, wh))


def table_rows(table):
    t = table.queryTable()
    for r in range(t.nRows):
        yield r, [t.getAccessibleAt(r, c).name for c in range(t.nColumns)]


def main():
    pid, what = int(sys.argv[1]), sys.argv[2]
    app = app_of(pid)
    if what == "board":
        board(app)
    elif what == "table":
        table = named(window(app, sys.argv[3]), sys.argv[4], pyatspi.ROLE_TABLE)
        for _, cells in table_rows(table):
            print("|".join(cells))
    elif what == "set":
        field = named(window(app, sys.argv[3]), sys.argv[4])
        field.queryEditableText().setTextContents(sys.argv[5])
    elif what == "point":
        table = named(window(app, sys.argv[3]), sys.argv[4], pyatspi.ROLE_TABLE)
        x, y, w, h = table.queryTable().getAccessibleAt(int(sys.argv[5]), 0).queryComponent().getExtents(
            pyatspi.DESKTOP_COORDS)
        print("%d %d" % (x + w // 2, y + h // 2))
    elif what == "spot":
        x, y, w, h = named(window(app, sys.argv[3]), sys.argv[4]).queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        print("%d %d" % (x + w // 2, y + h // 2))
    elif what == "text":
        texts = [""]
        for n in walk(window(app, sys.argv[3])):
            if n.name == sys.argv[4]:
                try:
                    t = n.queryText()
                except NotImplementedError:
                    continue
                texts.append(t.getText(0, t.characterCount))
        print(max(texts, key=len))
    elif what == "checked":
        node = named(window(app, sys.argv[3]), sys.argv[4])
        print("checked" if node.getState().contains(pyatspi.STATE_CHECKED) else "unchecked")
    elif what == "name":
        for n in walk(window(app, sys.argv[3])):
            if (n.name or "").replace("\n", "/").startswith(sys.argv[4]):
                print(n.name.replace("\n", "/"))
                print((n.description or "").replace("\n", "/"))
                return 0
        raise SystemExit("nothing named %s..." % sys.argv[4])
    return 0


if __name__ == "__main__":
    sys.exit(main())
