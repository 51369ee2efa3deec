#!/bin/bash
# Runs a command under a private Xvfb server (1024 × 768 unless XVFB_SCREEN says otherwise).
# The server picks a free display itself (-displayfd), so parallel runs never race for one.
# -noreset: by default the server resets whenever its last client disconnects, and a client
# connecting during that reset is refused; the tests connect and disconnect many short-lived
# clients (xdotool, import) before each program starts.
set -u
fifo=$(mktemp -u)
mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 "${XVFB_SCREEN:-1024x768x24}" -nolisten tcp -noreset 3>"$fifo" >/dev/null 2>&1 &
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
"$@"
rc=$?
kill "$server" 2>/dev/null
wait "$server" 2>/dev/null
exit $rc
