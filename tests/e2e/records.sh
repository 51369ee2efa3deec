#!/bin/bash
# The player's records with the real program under Xvfb, read through the accessibility bus:
# a board killed with kill -9 comes back as it was; a win, a loss and an abandoned board show
# in the records window; the notebook lists what was met, searches and shows a card; a records
# file that is not a database is kept aside and the game plays on.
set -u
prog_dir=$1
work=${2:-$(mktemp -d)}
rm -rf "$work"; mkdir -p "$work"
here=$(cd "$(dirname "$0")" && pwd)
exec dbus-run-session -- bash "$here/../support/run_xvfb.sh" bash "$here/lib/records_inner.sh" "$prog_dir" "$work"
