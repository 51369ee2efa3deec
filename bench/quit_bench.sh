#!/bin/bash
# Quit time of the real program at rest: from Ctrl+Q (and from a click on 終了) to the
# process's end, under a private Xvfb, several runs each; prints every run and the median.
# Usage: bench/quit_bench.sh [program folder] [runs]
set -u
prog_dir=$(cd "${1:-build/horokata}" && pwd)
runs=${2:-5}
here=$(cd "$(dirname "$0")" && pwd)
if [ -z "${QUIT_BENCH_INNER:-}" ]; then
    QUIT_BENCH_INNER=1 exec bash "$here/../tests/support/run_xvfb.sh" bash "$0" "$prog_dir" "$runs"
fi
. "$here/../tests/e2e/lib/gui_session.sh"
work=$(mktemp -d)
private_session_env "$work"
now_ms() { date +%s%3N; }

one_run() { # how: key | button -> ms from the input to the process's end
    "$prog_dir/horokata" >"$work/run.log" 2>&1 &
    local pid=$! win t0 t1
    win=$(wait_main_window $pid "$work/run.log") || fail "main window did not appear"
    # At rest: the sound module loaded and the window settled.
    for _ in $(seq 1 100); do grep -q libhorokata_sound "/proc/$pid/maps" && break; sleep 0.1; done
    sleep 0.5
    xdotool windowfocus --sync "$win" 2>/dev/null
    t0=$(now_ms)
    if [ "$1" = key ]; then xdotool key ctrl+q; else click_in "$win" $((4 + 60)) $((4 + 12)); fi
    for _ in $(seq 1 1000); do kill -0 $pid 2>/dev/null || break; sleep 0.005; done
    kill -0 $pid 2>/dev/null && { kill -9 $pid; echo "did not end"; return; }
    t1=$(now_ms)
    wait $pid
    echo $((t1 - t0))
}

for how in key button; do
    times=()
    for _ in $(seq 1 "$runs"); do times+=("$(one_run $how)"); done
    sorted=$(printf '%s\n' "${times[@]}" | sort -n | tr '\n' ' ')
    median=$(printf '%s\n' "${times[@]}" | sort -n | sed -n "$(( (runs + 1) / 2 ))p")
    echo "quit at rest by $how: runs ${sorted}ms, median ${median} ms"
done
rm -rf "$work"
