#!/bin/bash
# The shaped popups on a real X server: the level menu and the confirmation dialog show their
# own colours inside their outlines, let the main window show through outside them, and never
# show the key colour; without "msg.rgn" the program stops with its fatal message.
set -u
prog_dir=$1
work=${2:-$(mktemp -d)}
rm -rf "$work"; mkdir -p "$work"
here=$(cd "$(dirname "$0")" && pwd)
exec bash "$here/../support/run_xvfb.sh" bash "$here/lib/outlines_inner.sh" "$prog_dir" "$work"
