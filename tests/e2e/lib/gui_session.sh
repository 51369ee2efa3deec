#!/bin/bash
# Helpers for starting the program under Xvfb and driving its main window: sourced by every
# end-to-end script that starts the program.

fail() { echo "FAIL: $*"; exit 1; }

wait_window() { # pid [WxH] -> id of its visible window of that size (the 610 × 429 main window)
    local pid=$1 size=${2:-610x429} id
    for _ in $(seq 1 150); do
        for id in $(xdotool search --onlyvisible --pid "$pid" 2>/dev/null); do
            if xdotool getwindowgeometry "$id" 2>/dev/null | grep -q "Geometry: $size\$"; then
                echo "$id"; return 0
            fi
        done
        sleep 0.1
    done
    return 1
}

wait_main_window() { # pid log -> id of its main window; if none appears, the log goes to stderr
    wait_window "$1" 610x429 && return 0
    echo "--- last lines of $2:" >&2
    tail -n 40 "$2" >&2
    return 1
}

click_in() { # window x y: left click at a window-relative point
    local X Y WIDTH HEIGHT SCREEN WINDOW
    eval "$(xdotool getwindowgeometry --shell "$1")"
    xdotool mousemove $((X + $2)) $((Y + $3)) click 1
}

visible_windows() { # pid -> number of visible windows of that process
    xdotool search --onlyvisible --pid "$1" 2>/dev/null | wc -l
}

# Clicks 終了 and checks that the process ends with exit code 0.
quit_with_exit_button() { # window pid
    local win=$1 pid=$2 rc
    click_in "$win" $((4 + 60)) $((4 + 12))
    for _ in $(seq 1 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$pid" 2>/dev/null && { kill -9 "$pid"; fail "終了 did not end the program"; }
    wait "$pid"; rc=$?
    [ $rc -eq 0 ] || fail "exit code $rc after 終了"
    echo "ok: 終了 ended the program with exit code 0"
}

# Keeps the session's own files (lock, caches, settings) inside the work folder.
private_session_env() { # work
    export HOME=$1/home XDG_RUNTIME_DIR=$1/run XDG_CACHE_HOME=$1/home/.cache \
           XDG_CONFIG_HOME=$1/home/.config XDG_DATA_HOME=$1/home/.local/share
    mkdir -p "$HOME" "$XDG_RUNTIME_DIR"; chmod 700 "$XDG_RUNTIME_DIR"
    export QT_QPA_PLATFORM=xcb
}
