#!/bin/bash
# Runs a command under a private Xvfb server (1024 × 768 unless XVFB_SCREEN says otherwise).
# The server picks a free display itself (-displayfd). Two servers starting at the same moment
# can still end up on one number, so the test suite runs its X servers one at a time.
set -u
fifo=$(mktemp -u)
mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 "${XVFB_SCREEN:-1024x768x24}" -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
server=$!
read -r -t 30 display <"$fifo"
rm -f "$fifo"
if [ -z "${display:-}" ]; then
    echo "Xvfb did not start" >&2
    kill "$server" 2>/dev/null
    exit 1
fi
export DISPLAY=:$display
unset XAUTHORITY
# The number is announced once the server listens; still make sure a client gets through
# before the command starts, so a server that died at once is reported as such.
for _ in $(seq 1 100); do
    xdotool getdisplaygeometry >/dev/null 2>&1 && break
    sleep 0.1
done
if ! xdotool getdisplaygeometry >/dev/null 2>&1; then
    echo "Xvfb on $DISPLAY accepts no connection" >&2
    kill "$server" 2>/dev/null
    exit 1
fi
"$@"
rc=$?
kill "$server" 2>/dev/null
wait "$server" 2>/dev/null
exit $rc
