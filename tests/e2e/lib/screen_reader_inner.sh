#!/bin/bash
# Runs inside a private D-Bus session and Xvfb; see screen_reader.sh.
set -u
prog_dir=$1
work=$2
. "$(dirname "$0")/gui_session.sh"
private_session_env "$work"
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1
pids=()
trap 'kill "${pids[@]}" 2>/dev/null' EXIT

/usr/libexec/at-spi-bus-launcher --launch-immediately &
pids+=($!)

# A listener in the place of a screen reader: every focus it is told of, with what it reads.
/usr/bin/python3 -u - >"$work/heard.txt" 2>&1 <<'PY' &
import pyatspi
def heard(event):
    try:
        s = event.source
        print("focus|%s|%s|%s" % (s.getRoleName(), s.name, s.description), flush=True)
    except Exception as error:
        print("error|%s" % error, flush=True)
pyatspi.Registry.registerEventListener(heard, "focus:")
print("ready", flush=True)
pyatspi.Registry.start()
PY
pids+=($!)
for _ in $(seq 1 100); do grep -q '^ready' "$work/heard.txt" && break; sleep 0.1; done
grep -q '^ready' "$work/heard.txt" || { cat "$work/heard.txt"; fail "the accessibility listener did not start"; }

"$prog_dir/horokata" >"$work/prog.log" 2>&1 &
pid=$!
pids+=($pid)
win=$(wait_main_window $pid "$work/prog.log") || fail "main window did not appear"
click_in "$win" $((4 + 264 + 40)) $((4 + 12)) # 新規

# The first lamp asks to give up once the deal has ended; a click during the deal is ignored,
# and a loaded machine may take longer than the deal's pause, so the click is tried again.
question="この「 面 」を 降参放棄 しますか？"
for _ in $(seq 1 15); do
    sleep 1
    grep -q "^focus|.*|$question" "$work/heard.txt" && break
    click_in "$win" $((502 + 48 + 8)) $((34 + 368 + 8))
    for _ in $(seq 1 30); do grep -q "^focus|.*|$question" "$work/heard.txt" && break; sleep 0.1; done
    grep -q "^focus|.*|$question" "$work/heard.txt" && break
done
import -window root "$work/question.png" 2>/dev/null
grep "^focus|.*|$question" "$work/heard.txt" | tail -n1 | grep -q "いいえ ×" \
    || { tail -n 5 "$work/heard.txt"; fail "the focus did not tell the give-up question and its answers"; }
echo "ok: heard $(grep "^focus|.*|$question" "$work/heard.txt" | tail -n1)"

# The answers are in the tree, named by their captions, while the question is up.
/usr/bin/python3 - "$pid" <<'PY' || fail "the dialog's answers are not in the accessibility tree"
import sys, pyatspi
pid = int(sys.argv[1])
app = next(a for a in pyatspi.Registry.getDesktop(0) if a is not None and a.get_process_id() == pid)
def walk(node):
    for child in node:
        if child is not None:
            yield child
            yield from walk(child)
dialog = next(w for w in app if w.getRole() == pyatspi.ROLE_DIALOG
              and w.getState().contains(pyatspi.STATE_ACTIVE))
buttons = {n.name for n in walk(dialog) if n.getRole() == pyatspi.ROLE_PUSH_BUTTON
           and n.getState().contains(pyatspi.STATE_SHOWING)}
print("ok: the dialog '%s' offers %s" % (dialog.name, sorted(buttons)))
sys.exit(0 if {"はい ○", "いいえ ×"} <= buttons else 1)
PY

xdotool key --clearmodifiers Escape # いいえ: the board stays
sleep 0.5
quit_with_exit_button "$win" $pid
echo "PASS"
