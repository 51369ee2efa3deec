#!/bin/bash
# Runs the celebration benchmark on Xvfb screens of 1024x768 and 3840x2160.
# Usage: bench/effect_bench.sh [path/to/effect_bench] [extra benchmark arguments]
set -euo pipefail
exe=${1:-build/bench/effect_bench}
shift || true
for screen in 1024x768 3840x2160; do
    echo "== screen ${screen}"
    QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 ${screen}x24" "$exe" "$@"
done
