#!/bin/bash
# Runs inside Xvfb; see package.sh.
set -u
work=$1
here=$(cd "$(dirname "$0")" && pwd)
. "$here/gui_session.sh"
private_session_env "$work"

horokata >"$work/run.log" 2>&1 &
pid=$!
win=$(wait_main_window $pid "$work/run.log") || fail "main window did not appear"
exe=$(readlink -f /proc/$pid/exe)
[ "$exe" = /usr/lib/horokata/horokata ] || fail "running binary is $exe"
import -window root "$work/installed.png" 2>/dev/null
echo "ok: horokata from PATH shows its 610x429 window, running $exe"
quit_with_exit_button "$win" $pid
