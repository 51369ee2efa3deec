#!/bin/bash
# Starts the real program under Xvfb: its window appears, a second copy is refused with the
# exact message and brings the running copy to the front, a copy killed with SIGKILL does not
# block the next start, and the 終了 button ends the program cleanly.
set -u
prog_dir=$1
work=${2:-$(mktemp -d)}
rm -rf "$work"; mkdir -p "$work"
here=$(cd "$(dirname "$0")" && pwd)
exec bash "$here/../support/run_xvfb.sh" bash "$here/lib/startup_inner.sh" "$prog_dir" "$work"
