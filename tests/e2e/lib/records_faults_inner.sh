#!/bin/bash
# Runs inside a private D-Bus session and Xvfb; see records_faults.sh.
set -u
prog_dir=$1
work=$2
here=$(cd "$(dirname "$0")" && pwd)
. "$here/gui_session.sh"
private_session_env "$work"
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1
folder=$XDG_DATA_HOME/horokata
db=$folder/records.sqlite
pids=()
trap 'chattr -i "$db" "$folder" 2>/dev/null; kill "${pids[@]}" 2>/dev/null' EXIT
/usr/libexec/at-spi-bus-launcher --launch-immediately &
pids+=($!)

store() { /usr/bin/python3 "$here/board_in_store.py" "$db" "$@"; }
screen() { /usr/bin/python3 "$here/read_screen.py" "$pid" "$@"; }
sql() { sqlite3 "file:$db?mode=ro" "$@"; }
found() { store state | sed -n 's/.*found=\([0-9]*\).*/\1/p'; }

start() { # log -> pid, win
    "$prog_dir/horokata" >"$work/$1" 2>&1 &
    pid=$!
    pids+=($pid)
    win=$(wait_main_window $pid "$work/$1") || fail "main window did not appear"
    xdotool windowfocus "$win"
    sleep 0.5
}

# Answers the store's notice with its button; fails when none came.
answer_notice() { # what it should be about
    local spot=
    for _ in $(seq 1 50); do spot=$(screen spot "＜ 処理確認 ＞" "はい ○" 2>/dev/null) && break; sleep 0.1; done
    [ -n "$spot" ] || fail "no notice about $1"
    import -window root "$work/notice_${1// /_}.png" 2>/dev/null
    read -r x y <<<"$spot"
    xdotool mousemove "$x" "$y" click 1
    sleep 0.5
    xdotool windowfocus "$win"; sleep 0.2
}

pick() { # find|miss
    local before
    before=$(store state 2>/dev/null)
    while read -r x y; do click_in "$win" "$x" "$y"; sleep 0.08; done < <(store "$1")
    for _ in $(seq 1 100); do [ "$(store state 2>/dev/null)" != "$before" ] && return 0; sleep 0.1; done
    fail "the pick ($1) left the saved board as it was"
}

new_board() {
    click_in "$win" $((4 + 264 + 40)) $((4 + 12)) # 新規
    for _ in $(seq 1 100); do
        [ "$(sql "SELECT count(*) FROM attempts WHERE result = 0" 2>/dev/null)" = 1 ] && [ "$(found 2>/dev/null)" = 0 ] && break
        sleep 0.1
    done
    sleep 0.3
}

# --- One lost board, the game closed with 終了 -------------------------------------------------
start prog0.log
new_board
pick miss; pick miss
while read -r x y; do click_in "$win" "$x" "$y"; sleep 0.08; done < <(store miss)
for _ in $(seq 1 100); do [ "$(sql "SELECT count(*) FROM attempts WHERE result = 2")" = 1 ] && break; sleep 0.1; done
[ "$(sql "SELECT count(*) FROM notebook")" = 20 ] || fail "the lost board's 20 idioms are not in the notebook"
quit_with_exit_button "$win" $pid
[ ! -s "$db-wal" ] || fail "the log was left with content after 終了"
cp "$db" "$work/base.sqlite"
count() { sqlite3 "file:$1?mode=ro" "SELECT count(*) FROM $2" 2>/dev/null || echo missing; }

# --- 1. Each table dropped in turn ------------------------------------------------------------
tables="boards attempts picks settings resume notebook"
for t in $tables; do
    cp "$work/base.sqlite" "$db"; rm -f "$db-wal" "$db-shm"
    sqlite3 "$db" "DROP TABLE $t"
    start "drop_$t.log"
    answer_notice "the repaired $t"
    new_board
    pick find
    [ "$(found)" = 1 ] || fail "the game does not play with $t dropped"
    quit_with_exit_button "$win" $pid
    [ "$(count "$db" "$t")" != missing ] || fail "the table $t was not made again"
    for other in $tables; do
        [ "$other" = "$t" ] && continue
        [ "$(count "$db" "$other")" -ge "$(count "$work/base.sqlite" "$other")" ] \
            || fail "with $t dropped, $other went from $(count "$work/base.sqlite" "$other") to $(count "$db" "$other") rows"
    done
    [ "$(count "$db" notebook)" -ge 20 ] || fail "with $t dropped, the notebook holds $(count "$db" notebook) idioms"
    grep -q "$t" "$work/drop_$t.log" || fail "nothing on stderr says $t was made again"
    echo "ok: $t dropped: made again, the other tables kept their rows, the game plays"
done

# --- 2. A newer version's file is left byte for byte as it was ---------------------------------
cp "$work/base.sqlite" "$db"; rm -f "$db-wal" "$db-shm"
sqlite3 "$db" "PRAGMA user_version = 99"
before=$(sha256sum <"$db")
start newer.log
answer_notice "the newer file"
click_in "$win" $((4 + 264 + 40)) $((4 + 12)) # 新規: a board is dealt though nothing is kept
sleep 1
quit_with_exit_button "$win" $pid
[ "$(sha256sum <"$db")" = "$before" ] || fail "the newer version's file changed"
ls "$folder" | grep -q unreadable && fail "the newer version's file was set aside"
echo "ok: user_version 99: after a game the file is byte-identical, nothing set aside"

# --- 3. A file and a folder that cannot be written ----------------------------------------------
cp "$work/base.sqlite" "$db"; rm -f "$db-wal" "$db-shm"
if ! chattr +i "$db" 2>/dev/null || ! chattr +i "$folder" 2>/dev/null; then
    chattr -i "$db" "$folder" 2>/dev/null
    echo "skip: this file system cannot make a file immutable (chattr +i)"
    echo "PASS"
    exit 0
fi
start readonly.log
answer_notice "the read-only file"
xdotool key --clearmodifiers ctrl+h
sleep 1
screen table "記録" "級ごとの成績" >"$work/readonly_records.txt" || fail "the records window cannot be read"
sed -n 1p "$work/readonly_records.txt" | grep -qE '^1\|0\|0%' \
    || { cat "$work/readonly_records.txt"; fail "記録 does not read the lost board"; }
xdotool key --clearmodifiers Escape
sleep 0.5
xdotool windowfocus "$win"; sleep 0.2
quit_with_exit_button "$win" $pid
"$prog_dir/horokata" --export-notebook "$work/deck.txt" >"$work/export.log" 2>&1 \
    || { cat "$work/export.log"; fail "the export failed on a file that cannot be written"; }
[ "$(grep -vc '^#' "$work/deck.txt")" = 20 ] || fail "the export wrote $(grep -vc '^#' "$work/deck.txt") idioms, not 20"
[ "$(sha256sum <"$db")" = "$(sha256sum <"$work/base.sqlite")" ] || fail "the immutable file changed"
chattr -i "$db" "$folder"
echo "ok: file and folder immutable: 記録 reads the lost board, the export wrote 20 idioms"
echo "PASS"
