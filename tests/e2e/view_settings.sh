#!/bin/bash
# Window sizes, sound and help with the real program under Xvfb, read through the accessibility
# bus: zooming keeps the board and plays at 150 %; the size and the sound come back after a
# restart; Ctrl+0 returns to 610 × 429; --scale refuses sizes not offered; 遊び方 names every command.
set -u
prog_dir=$1
work=${2:-$(mktemp -d)}
rm -rf "$work"; mkdir -p "$work"
here=$(cd "$(dirname "$0")" && pwd)
export XVFB_SCREEN=1920x1080x24
exec dbus-run-session -- bash "$here/../support/run_xvfb.sh" bash "$here/lib/view_settings_inner.sh" "$prog_dir" "$work"
