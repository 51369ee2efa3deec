#!/bin/bash
# A small screen at a large scale: at twice the scale on a 1366 × 768 screen the 1220 × 858
# window cannot fit, so it opens with its title bar at the top of the screen; the version
# dialog, the level menu and the help window open whole on the screen.
set -u
prog_dir=$1
work=${2:-$(mktemp -d)}
rm -rf "$work"; mkdir -p "$work"
here=$(cd "$(dirname "$0")" && pwd)
export XVFB_SCREEN=1366x768x24
exec bash "$here/../support/run_xvfb.sh" bash "$here/lib/small_screen_inner.sh" "$prog_dir" "$work"
