#!/bin/bash
# The player's records when their file is hurt, with the real program under Xvfb, after one
# lost board: each table dropped in turn comes back and the others keep their rows; a file a
# newer version wrote is the same byte for byte after a game; a file and folder that cannot be
# written still show the records, and the notebook still exports.
set -u
prog_dir=$1
work=${2:-$(mktemp -d)}
rm -rf "$work"; mkdir -p "$work"
here=$(cd "$(dirname "$0")" && pwd)
exec dbus-run-session -- bash "$here/../support/run_xvfb.sh" bash "$here/lib/records_faults_inner.sh" "$prog_dir" "$work"
