#!/bin/bash
# What a screen reader hears, through the accessibility bus (AT-SPI) under Xvfb: when the
# give-up question opens, the control that takes the focus tells the question and its answers,
# and the dialog's buttons are there by their captions.
set -u
prog_dir=$1
work=${2:-$(mktemp -d)}
rm -rf "$work"; mkdir -p "$work"
here=$(cd "$(dirname "$0")" && pwd)
exec dbus-run-session -- bash "$here/../support/run_xvfb.sh" bash "$here/lib/screen_reader_inner.sh" "$prog_dir" "$work"
