#!/bin/bash
# Start-up time and peak memory of the game against a bare Qt window (its own small program
# linked only to Qt Widgets), under Xvfb.
# Usage: bench/startup_bench.sh [build dir] [runs] [window size in percent]
#   build dir  holds bench/startup_bench, bench/startup_floor and the program folder horokata/
#              (default: build)
#   runs       starts per mode (default 10)
#   size       the remembered window size the game starts at: 100 (default) to 200; the
#              screen is then 1920 × 1080 unless XVFB_SCREEN says otherwise
# Prints each run, the medians per mode and the ratios game/minimal, then the real program's
# own peak RSS (from /usr/bin/time -v) after it has started and idled for a moment.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-build}" && pwd)
runs=${2:-10}
scale=${3:-100}
exe=$build/bench/startup_bench
floor=$build/bench/startup_floor
prog_dir=$build/horokata

if [ -z "${STARTUP_BENCH_INNER:-}" ]; then
    [ -x "$exe" ] || { echo "no $exe; build first" >&2; exit 1; }
    [ -x "$floor" ] || { echo "no $floor; build first" >&2; exit 1; }
    [ -x "$prog_dir/horokata" ] || { echo "no $prog_dir/horokata; build first" >&2; exit 1; }
    export STARTUP_BENCH_INNER=1
    [ "$scale" = 100 ] || export XVFB_SCREEN=${XVFB_SCREEN:-1920x1080x24}
    exec bash "$here/../tests/support/run_xvfb.sh" bash "$0" "$build" "$runs" "$scale"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_RUNTIME_DIR=$work/run XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config
mkdir -p "$XDG_CONFIG_HOME/horokata"
printf '[view]\nscale=%s\n' "$scale" >"$XDG_CONFIG_HOME/horokata/horokata.ini"
mkdir -p "$XDG_RUNTIME_DIR"; chmod 700 "$XDG_RUNTIME_DIR"
export QT_QPA_PLATFORM=xcb

median() { sort -g | awk '{ v[NR] = $1 } END { if (NR == 0) { print "nan"; exit }
    if (NR % 2) print v[(NR + 1) / 2]; else printf "%.1f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
field() { sed -n "s/.* $1=\([^ ]*\).*/\1/p"; }

echo "== $runs starts per mode on ${XVFB_SCREEN:-1024x768x24}, the game at $scale %"
# One start of each, not counted, so both modes meet warm file caches.
"$floor" >/dev/null
"$exe" game "$prog_dir" >/dev/null
# The modes take turns, so that a machine busy with other work slows both alike.
: >"$work/minimal.txt"
: >"$work/game.txt"
for _ in $(seq 1 "$runs"); do
    for mode in minimal game; do
        t0=$(date +%s%N)
        if [ "$mode" = game ]; then
            line=$("$exe" game "$prog_dir" "$t0")
        else
            line=$("$floor" "$t0")
        fi
        echo "$line"
        echo "$line" >>"$work/$mode.txt"
    done
done

declare -A med
for mode in minimal game; do
    for key in ready_ms exposed_ms proc_ready_ms vmhwm_kib; do
        med[$mode.$key]=$(field "$key" <"$work/$mode.txt" | median)
    done
done
echo
echo "== medians ($runs runs)"
printf '%-8s %12s %12s %14s %12s\n' mode ready_ms exposed_ms proc_ready_ms vmhwm_kib
for mode in minimal game; do
    printf '%-8s %12s %12s %14s %12s\n' "$mode" "${med[$mode.ready_ms]}" "${med[$mode.exposed_ms]}" \
        "${med[$mode.proc_ready_ms]}" "${med[$mode.vmhwm_kib]}"
done
echo "store opened after 準備完了, board laid out again: $(field records_ms <"$work/game.txt" | median) ms (median)"
awk -v gt="${med[game.exposed_ms]}" -v mt="${med[minimal.exposed_ms]}" \
    -v gm="${med[game.vmhwm_kib]}" -v mm="${med[minimal.vmhwm_kib]}" 'BEGIN {
    printf "ratio game/minimal: time on screen %.2f  memory %.2f\n", gt / mt, gm / mm }'

echo
echo "== the program itself under /usr/bin/time -v"
if [ ! -x /usr/bin/time ] || ! command -v xdotool >/dev/null; then
    echo "skipped: needs /usr/bin/time and xdotool"
    exit 0
fi
# The main window at this size: each side round(v × scale).
main_size=$(awk -v s="$scale" 'BEGIN { printf "%dx%d", int(610 * s / 100 + 0.5), int(429 * s / 100 + 0.5) }')
/usr/bin/time -v -o "$work/time.txt" "$prog_dir/horokata" >"$work/prog.log" 2>&1 &
timer=$!
win=""
prog=""
for _ in $(seq 1 100); do
    [ -n "$prog" ] || prog=$(pgrep -P "$timer" | head -n1 || true)
    for id in $( [ -n "$prog" ] && xdotool search --onlyvisible --pid "$prog" 2>/dev/null); do
        if xdotool getwindowgeometry "$id" 2>/dev/null | grep -q "Geometry: $main_size"; then win=$id; fi
    done
    [ -n "$win" ] && break
    sleep 0.1
done
if [ -z "$win" ]; then
    [ -n "$prog" ] && kill "$prog" 2>/dev/null
    echo "the program's window did not appear" >&2
    exit 1
fi
# Idle for a moment after start-up, then close with the 終了 button.
sleep 2
eval "$(xdotool getwindowgeometry --shell "$win")"
xdotool mousemove $((X + 64)) $((Y + 16)) click 1
for _ in $(seq 1 100); do kill -0 "$timer" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$timer" 2>/dev/null; then
    kill "$prog" 2>/dev/null || true
    echo "the program did not end after 終了" >&2
    exit 1
fi
wait "$timer" || true
grep -E "Maximum resident set size|Exit status|Elapsed" "$work/time.txt" | sed 's/^[[:space:]]*/  /'
