#!/bin/bash
# Runs inside Xvfb; see install.sh.
set -u
prefix=$1
work=$2
here=$(cd "$(dirname "$0")" && pwd)
. "$here/gui_session.sh"
private_session_env "$work"
export PATH=$work/path:$PATH

[ "$(command -v horokata)" = "$work/path/horokata" ] || fail "horokata on PATH is $(command -v horokata)"
horokata >"$work/run.log" 2>&1 &
pid=$!
win=$(wait_main_window $pid "$work/run.log") || fail "main window did not appear"
echo "ok: started through a symbolic link on PATH; main window $win is 610x429"

# The launcher replaced itself with the installed binary.
exe=$(readlink -f /proc/$pid/exe)
[ "$exe" = "$(readlink -f "$prefix/lib/horokata/horokata")" ] || fail "running binary is $exe"
echo "ok: the process runs $exe"

import -window "$win" "$work/empty.png" 2>/dev/null || fail "no screenshot of the empty board"
click_in "$win" $((4 + 264 + 40)) $((4 + 12))
sleep 2
import -window "$win" "$work/dealt.png" 2>/dev/null || fail "no screenshot after 新規"
import -window root "$work/screen.png" 2>/dev/null
kill -0 $pid 2>/dev/null || fail "the program ended after 新規"
[ "$(visible_windows $pid)" -eq 1 ] || { import -window root "$work/error.png"; fail "a second window (an error message?) appeared after 新規"; }
changed=$(compare -metric AE "$work/empty.png" "$work/dealt.png" /dev/null 2>&1 >/dev/null)
changed=${changed%% *}
[ "${changed%.*}" -gt 5000 ] 2>/dev/null || fail "新規 changed only '$changed' pixels of the window"
echo "ok: 新規 dealt a board ($changed pixels changed; screenshot $work/dealt.png)"

quit_with_exit_button "$win" $pid
