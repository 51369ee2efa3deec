#!/usr/bin/python3
# Reads the board in play from the records file, for the end-to-end tests that click tiles:
#   board_in_store.py DB find   -> the window points of four standing tiles that spell an idiom
#                                  still hidden (one "x y" line per tile, in order)
#   board_in_store.py DB miss   -> four standing tiles that spell no hidden idiom
#   board_in_store.py DB state  -> the saved board: "misses=N found=N play_ms=N lines=..."
#   board_in_store.py DB cells  -> the 80 captions of the saved board, "" for a hidden cell
import os
import sqlite3
import sys

ROWS, CELL, LEFT, TOP = 8, 48, 10, 34  # the board: cells numbered down each column


SCALE = float(os.environ.get("HOROKATA_TEST_SCALE", "1"))  # the window's size factor


def point(cell):
    return "%d %d" % (round(SCALE * (LEFT + CELL * (cell // ROWS) + CELL // 2)),
                      round(SCALE * (TOP + CELL * (cell % ROWS) + CELL // 2)))


def main():
    db, what = sys.argv[1], sys.argv[2]
    con = sqlite3.connect("file:%s?mode=ro" % db, uri=True)
    row = con.execute("SELECT r.found, r.lines, r.cells, r.standing, r.misses, r.play_ms, b.idioms"
                      " FROM resume r JOIN boards b ON b.id = r.board_id").fetchone()
    if row is None:
        print("no board saved", file=sys.stderr)
        return 1
    found, lines, cells, standing, misses, play_ms, idioms = row
    hidden = [idioms[4 * k:4 * k + 4] for k in range(20) if found[k] == "0"]
    up = [i for i in range(80) if standing[i] == "1"]
    if what == "state":
        print("misses=%d found=%d play_ms=%d lines=%s" % (misses, found.count("1"), play_ms, lines))
        return 0
    if what == "cells":
        print("|".join(cells[i] if standing[i] == "1" else "" for i in range(80)))
        return 0
    if what == "find":
        idiom, used = hidden[0], []
        for ch in idiom:
            used.append(next(i for i in up if cells[i] == ch and i not in used))
    elif what == "miss":
        keys = {"".join(sorted(h)) for h in hidden}
        used = None
        for a in range(len(up)):
            for b in range(a + 1, len(up)):
                for c in range(b + 1, len(up)):
                    for d in range(c + 1, len(up)):
                        pick = [up[a], up[b], up[c], up[d]]
                        if "".join(sorted(cells[i] for i in pick)) not in keys:
                            used = pick
                            break
                    if used: break
                if used: break
            if used: break
    else:
        print("unknown request " + what, file=sys.stderr)
        return 2
    for cell in used:
        print(point(cell))
    return 0


if __name__ == "__main__":
    sys.exit(main())
