#!/bin/bash
# Takes the README picture of an idiom card: starts the built program under a private Xvfb,
# deals a board, finds one idiom by reading the tiles through the accessibility tree and
# clicking them with real X events, points at the found line and captures the screen.
# Usage: tools/make_card_screenshot.sh [build dir] [output png]
# Needs xvfb, xdotool, imagemagick, at-spi2-core and python3-pyatspi (Debian's python3).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-build}" && pwd)
out=$(realpath -m "${2:-$here/../docs/card.png}")

if [ -z "${CARD_SHOT_INNER:-}" ]; then
    export CARD_SHOT_INNER=1
    exec dbus-run-session -- bash "$here/../tests/support/run_xvfb.sh" bash "$0" "$build" "$out"
fi

work=$(mktemp -d)
prog=""
trap '[ -n "$prog" ] && kill "$prog" 2>/dev/null; rm -rf "$work"' EXIT
export XDG_RUNTIME_DIR=$work/run
mkdir -p "$XDG_RUNTIME_DIR"; chmod 700 "$XDG_RUNTIME_DIR"
export QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1
/usr/libexec/at-spi-bus-launcher --launch-immediately &
sleep 1
"$build/horokata/horokata" >"$work/prog.log" 2>&1 &
prog=$!
source "$here/../tests/e2e/lib/gui_session.sh"
win=$(wait_main_window "$prog" "$work/prog.log")
click_in "$win" $((4 + 264 + 40)) $((4 + 12)) # 新規
sleep 3

# Finds an idiom of the beginner list whose characters all lie on the board, rarest first,
# clicks its tiles and prints the screen centre of the line it was written to.
/usr/bin/python3 - "$build/horokata/初級.txt" <<'PY' >"$work/line.txt"
import subprocess, sys, time
import pyatspi

def find_app():
    for _ in range(50):
        for app in pyatspi.Registry.getDesktop(0):
            if app and app.name == "horokata":
                return app
        time.sleep(0.2)
    sys.exit("the program is not in the accessibility tree")

def walk(node, out):
    for child in node:
        if child is not None:
            out.append(child)
            walk(child, out)
    return out

def centre(acc):
    e = acc.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return e.x + e.width // 2, e.y + e.height // 2

def state():
    nodes = walk(find_app(), [])
    tiles = [n for n in nodes if n.getRole() == pyatspi.ROLE_CHECK_BOX
             and n.getState().contains(pyatspi.STATE_SHOWING) and len(n.name) == 1]
    lines = [n for n in nodes if n.name[:3].endswith("：") and n.name[:2].isdigit()]
    return tiles, sorted(lines, key=lambda n: n.name)

idioms = open(sys.argv[1], encoding="cp932").read().split()
tiles, lines = state()
board = {}
for t in tiles:
    board.setdefault(t.name, []).append(t)
def rarity(word):
    return sum(len(board.get(ch, [])) for ch in word)
candidates = sorted((w for w in idioms
                     if all(len(board.get(ch, [])) >= w.count(ch) for ch in w)),
                    key=rarity)
for word in candidates[:2]:
    used = []
    for ch in word:
        tile = next(t for t in board[ch] if t not in used)
        used.append(tile)
        x, y = centre(tile)
        subprocess.run(["xdotool", "mousemove", str(x), str(y), "click", "1"], check=True)
        time.sleep(0.3)
    time.sleep(2)
    tiles, lines = state()
    if lines[0].name.endswith(word):
        x, y = centre(lines[0])
        print(x - 20, y)
        sys.exit(0)
sys.exit("no idiom found on the board")
PY
read -r x y <"$work/line.txt"
xdotool mousemove "$x" "$y"
sleep 0.3
xdotool mousemove $((x + 4)) "$y"
sleep 2.5
import -window root "$work/screen.png"
eval "$(xdotool getwindowgeometry --shell "$win")"
# The window and the card beside its side panel.
convert "$work/screen.png" -crop "$((WIDTH + 260))x$((HEIGHT + 40))+$((X))+$((Y))" +repage "$out"
echo "wrote $out"
