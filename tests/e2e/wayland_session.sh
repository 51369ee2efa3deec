#!/bin/bash
# Starts the real program in a Wayland session (headless weston with XWayland): with DISPLAY
# set and no QT_QPA_PLATFORM it runs on X, where it can place and shape its windows; with no X
# server at all it still starts, on Wayland, under the application id of its menu entry.
set -u
prog_dir=$(cd "$1" && pwd)
work=${2:-$(mktemp -d)}
rm -rf "$work"; mkdir -p "$work"
. "$(dirname "$0")/lib/gui_session.sh"
command -v weston >/dev/null || fail "weston is missing"
command -v Xwayland >/dev/null || fail "Xwayland is missing (xwayland)"
private_session_env "$work"
unset QT_QPA_PLATFORM DISPLAY WAYLAND_DISPLAY XAUTHORITY

weston --backend=headless-backend.so --xwayland --socket=horokata-test --width=1024 --height=768 \
    --log="$work/weston.log" >"$work/weston.out" 2>&1 &
compositor=$!
trap 'kill $compositor 2>/dev/null; wait $compositor 2>/dev/null' EXIT
display=""
for _ in $(seq 1 100); do
    display=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$work/weston.log" 2>/dev/null | head -n1)
    [ -n "$display" ] && [ -S "$XDG_RUNTIME_DIR/horokata-test" ] && break
    kill -0 $compositor 2>/dev/null || { cat "$work/weston.out" "$work/weston.log"; fail "weston did not start"; }
    sleep 0.1
done
[ -n "$display" ] || { cat "$work/weston.log"; fail "weston started no XWayland"; }
export WAYLAND_DISPLAY=horokata-test XDG_SESSION_TYPE=wayland

# The client's Wayland protocol log (WAYLAND_DEBUG) shows it making a top-level window.
wait_wayland_window() { # pid log
    for _ in $(seq 1 150); do
        grep -q 'xdg_surface@[0-9]*\.get_toplevel' "$2" 2>/dev/null && return 0
        kill -0 "$1" 2>/dev/null || return 1
        sleep 0.1
    done
    return 1
}

# The session offers both: the game must come up as an X client of XWayland.
DISPLAY=$display "$prog_dir/horokata" >"$work/x.log" 2>&1 &
pid=$!
DISPLAY=$display wait_main_window $pid "$work/x.log" >/dev/null || fail "no 610 × 429 X window in the Wayland session"
kill -0 $pid 2>/dev/null || fail "the program ended on its own"
echo "ok: with DISPLAY and WAYLAND_DISPLAY set the main window is an X window on XWayland ($display)"
kill $pid; wait $pid 2>/dev/null

# A player's own choice is kept: asked for Wayland, it makes no X window.
QT_QPA_PLATFORM=wayland WAYLAND_DEBUG=1 DISPLAY=$display "$prog_dir/horokata" >"$work/chosen.log" 2>&1 &
pid=$!
wait_wayland_window $pid "$work/chosen.log" || { tail -n 40 "$work/chosen.log"; fail "no Wayland window when asked for Wayland"; }
[ -z "$(DISPLAY=$display xdotool search --pid $pid 2>/dev/null)" ] || fail "QT_QPA_PLATFORM=wayland was overridden"
echo "ok: QT_QPA_PLATFORM=wayland is kept"
kill $pid; wait $pid 2>/dev/null

# No X server at all: the game runs on Wayland.
(unset DISPLAY; WAYLAND_DEBUG=1 exec "$prog_dir/horokata") >"$work/wayland.log" 2>&1 &
pid=$!
wait_wayland_window $pid "$work/wayland.log" || { tail -n 40 "$work/wayland.log"; fail "no Wayland window without an X server"; }
# Docks match the window to the menu entry horokata.desktop by its application id.
grep -q 'set_app_id("horokata")' "$work/wayland.log" || fail "the window's application id is not horokata"
echo "ok: without DISPLAY the program runs on Wayland, application id horokata"
kill $pid; wait $pid 2>/dev/null
echo "PASS"
