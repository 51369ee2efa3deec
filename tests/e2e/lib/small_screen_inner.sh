#!/bin/bash
# Runs inside Xvfb; see small_screen.sh.
set -u
prog_dir=$1
work=$2
. "$(dirname "$0")/gui_session.sh"
private_session_env "$work"
export QT_SCALE_FACTOR=2

"$prog_dir/horokata" >"$work/prog.log" 2>&1 &
pid=$!
trap 'kill $pid 2>/dev/null' EXIT
win=$(wait_window $pid 1220x858) || { tail -n 20 "$work/prog.log"; fail "the scaled main window did not appear"; }
import -window root "$work/start.png" 2>/dev/null

# Prints "x y w h" of a window.
geometry() {
    local X Y WIDTH HEIGHT SCREEN WINDOW
    eval "$(xdotool getwindowgeometry --shell "$1")"
    echo "$X $Y $WIDTH $HEIGHT"
}
read -r x y w h < <(geometry "$win")
[ "$y" -eq 0 ] || fail "the main window opened at y = $y, not at the top of the screen"
[ "$x" -ge 0 ] && [ $((x + w)) -le 1366 ] || fail "the main window is not centred across the screen (x = $x)"
echo "ok: main window at ($x,$y), its title bar on the screen"

# A window of the program that appears after an action, other than the main window.
new_window() { # size
    wait_window $pid "$1" || fail "no $1 window appeared"
}
on_screen() { # window name
    local x y w h
    read -r x y w h < <(geometry "$1")
    [ "$x" -ge 0 ] && [ "$y" -ge 0 ] && [ $((x + w)) -le 1366 ] && [ $((y + h)) -le 768 ] \
        || fail "$2 at ($x,$y) $w×$h is not whole on the screen"
    echo "ok: $2 at ($x,$y) $w×$h, whole on the screen"
}

click_in "$win" $(((4 + 12) * 2)) $(((4 + 11) * 2)) # the version button
dialog=$(new_window 760x170)
on_screen "$dialog" "the version dialog"
xdotool key --clearmodifiers Return
sleep 0.5

click_in "$win" $(((4 + 184 + 40) * 2)) $(((4 + 11) * 2)) # 選択
menu=$(new_window 120x158)
on_screen "$menu" "the level menu"
import -window root "$work/menu.png" 2>/dev/null
xdotool key --clearmodifiers Escape
sleep 0.5

xdotool windowfocus --sync "$win"; xdotool key --clearmodifiers F1
help=$(new_window 1000x858)
read -r x y w h < <(geometry "$help")
[ "$y" -eq 0 ] && [ "$x" -ge 0 ] && [ $((x + w)) -le 1366 ] || fail "the help window opened at ($x,$y)"
echo "ok: the help window at ($x,$y), its title bar on the screen"
import -window root "$work/help.png" 2>/dev/null
xdotool key --clearmodifiers Escape
sleep 0.5
[ "$(xdotool search --onlyvisible --pid $pid 2>/dev/null | wc -l)" -eq 1 ] || fail "Escape did not close the help window"

quit_with_exit_button "$win" $pid
trap - EXIT
echo "PASS"
