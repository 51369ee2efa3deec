#!/bin/bash
# Runs inside Xvfb; see outlines.sh. Screenshots and crops are kept in the work dir.
set -u
prog_dir=$1
work=$2
here=$(cd "$(dirname "$0")" && pwd)
art=$here/../../../data/popups
export XDG_RUNTIME_DIR=$work/run
mkdir -p "$XDG_RUNTIME_DIR"; chmod 700 "$XDG_RUNTIME_DIR"
export QT_QPA_PLATFORM=xcb
KEY='#FF00FF'

pids=()
cleanup() { for p in "${pids[@]}"; do kill -9 "$p" 2>/dev/null; done; }
trap cleanup EXIT
. "$(dirname "$0")/gui_session.sh"
ok() { echo "ok: $*"; }

for tool in xdotool import convert compare; do
    command -v $tool >/dev/null || fail "$tool is missing"
done
[ -f "$art/menu_background.png" ] && [ -f "$art/dialog_background.png" ] || fail "popup art not found under $art"

shot() { # name -> takes a screenshot of the whole screen as $work/name.png
    import -window root "$work/$1.png" 2>/dev/null || fail "screenshot $1"
}
pixel() { # image x y -> #RRGGBB
    convert "$1[1x1+$2+$3]" -alpha off -depth 8 txt:- | tail -n1 | grep -o '#[0-9A-Fa-f]\{6\}' | head -n1 | tr a-f A-F
}
key_count() { # image -> number of pixels in the key colour
    convert "$1" -alpha off -fill black +opaque "$KEY" -fill white -opaque "$KEY" \
        -colorspace gray -format '%[fx:round(mean*w*h)]' info:
}
crop() { # image WxH+X+Y out
    convert "$1" -alpha off -crop "$2" +repage "$3"
}
masked() { # image mask out: the image where the mask is white, black elsewhere
    convert "$1" -alpha off "$2" -compose multiply -composite "$3"
}
differing() { # image image -> number of differing pixels
    compare -metric AE "$1" "$2" null: 2>&1 | sed 's/[^0-9.].*//'
}
wait_gone() { # pid WxH -> succeeds once no visible window of that size is left
    local pid=$1 size=$2 id found
    for _ in $(seq 1 50); do
        found=""
        for id in $(xdotool search --onlyvisible --pid "$pid" 2>/dev/null); do
            xdotool getwindowgeometry "$id" 2>/dev/null | grep -q "Geometry: $size\$" && found=$id
        done
        [ -z "$found" ] && return 0
        sleep 0.1
    done
    return 1
}
expect_equal() { # what got want
    [ "$2" = "$3" ] || fail "$1: got $2, want $3"
    ok "$1: $2"
}

# The key-colour counter must see the key colour the art carries outside its outlines,
# or "no key colour on the screen" would prove nothing.
art_keys=$(key_count "$art/menu_background.png")
[ "$art_keys" -gt 0 ] || fail "key colour counter found no $KEY in the menu art"
ok "key colour counter sees $art_keys key pixels in the menu art"

# Checks one open popup against the shot taken before it opened.
#   name before after artfile left top width height "x,y ..." (inside samples) "x,y ..." (outside samples)
check_popup() {
    local name=$1 before=$2 after=$3 artfile=$4 left=$5 top=$6 w=$7 h=$8 inside=$9 outside=${10}
    local geo="${w}x${h}+${left}+${top}" p x y got want
    local keys; keys=$(key_count "$after")
    [ "$keys" -eq 0 ] || fail "$name: $keys pixels of the key colour $KEY on the screen"
    ok "$name: no key colour $KEY anywhere on the screen"

    for p in $inside; do
        x=${p%,*}; y=${p#*,}
        [ "$x" -lt "$w" ] && [ "$y" -lt "$h" ] || fail "$name: sample ($x,$y) lies beyond ${w}x${h}"
        got=$(pixel "$after" $((left + x)) $((top + y)))
        want=$(pixel "$artfile" "$x" "$y")
        [ "$want" != "$KEY" ] || fail "$name: sample ($x,$y) is not inside the outline"
        [ "$got" = "$want" ] || fail "$name: panel pixel ($x,$y) is $got, the art has $want"
        [ "$got" != "$(pixel "$before" $((left + x)) $((top + y)))" ] \
            || fail "$name: panel pixel ($x,$y) looks the same as before the popup opened"
        ok "$name: panel pixel ($x,$y) shows $got as the art does, unlike before"
    done
    for p in $outside; do
        x=${p%,*}; y=${p#*,}
        [ "$x" -lt "$w" ] && [ "$y" -lt "$h" ] || fail "$name: sample ($x,$y) lies beyond ${w}x${h}"
        [ "$(pixel "$artfile" "$x" "$y")" = "$KEY" ] || fail "$name: sample ($x,$y) is not outside the outline"
        got=$(pixel "$after" $((left + x)) $((top + y)))
        want=$(pixel "$before" $((left + x)) $((top + y)))
        [ "$got" = "$want" ] || fail "$name: pixel ($x,$y) outside the outline is $got, before it was $want"
        ok "$name: outside pixel ($x,$y) shows the window below ($got)"
    done

    # Every pixel: outside the outline (where the art has the key colour) the screen is as
    # before; inside, most pixels are the art's (the rest are the popup's text and controls).
    local d=$work/$name
    convert "$artfile" -alpha off -fill black +opaque "$KEY" -fill white -opaque "$KEY" "$d-outside-mask.png"
    convert "$d-outside-mask.png" -negate "$d-inside-mask.png"
    crop "$before" "$geo" "$d-before-crop.png"
    crop "$after" "$geo" "$d-open-crop.png"
    masked "$d-before-crop.png" "$d-outside-mask.png" "$d-before-out.png"
    masked "$d-open-crop.png" "$d-outside-mask.png" "$d-open-out.png"
    local outside_total changed
    outside_total=$(convert "$d-outside-mask.png" -colorspace gray -format '%[fx:round(mean*w*h)]' info:)
    changed=$(differing "$d-before-out.png" "$d-open-out.png")
    [ "$changed" = 0 ] || fail "$name: $changed of the $outside_total pixels outside the outline changed"
    ok "$name: all $outside_total pixels outside the outline show the window below unchanged"
    masked "$artfile" "$d-inside-mask.png" "$d-art-in.png"
    masked "$d-open-crop.png" "$d-inside-mask.png" "$d-open-in.png"
    local inside_total=$((w * h - outside_total)) off
    off=$(differing "$d-art-in.png" "$d-open-in.png")
    [ $((off * 2)) -le "$inside_total" ] || fail "$name: $off of the $inside_total pixels inside the outline differ from the art"
    ok "$name: $((inside_total - off)) of the $inside_total pixels inside the outline are the art's own"
}

shot empty-screen

# --- The level menu and the dialog over the running program.
"$prog_dir/horokata" >"$work/program.log" 2>&1 &
prog=$!; pids+=("$prog")
win=$(wait_main_window $prog "$work/program.log") || fail "main window did not appear"
eval "$(xdotool getwindowgeometry --shell "$win")"
WX=$X; WY=$Y
ok "main window $win at ($WX,$WY)"
sleep 0.5

# 選択 sits at (184,0) in the title bar at (4,4); pressed at (40,12) within it, the menu opens
# at the press point + (192,8) on the screen.
xdotool mousemove $((WX + 228)) $((WY + 16))
sleep 0.3
shot menu-before
xdotool mousedown 1; sleep 0.1; xdotool mouseup 1
menu=$(wait_window $prog 60x79) || fail "the level menu did not open"
eval "$(xdotool getwindowgeometry --shell "$menu")"
MX=$X; MY=$Y
expect_equal "level menu position" "($MX,$MY)" "($((WX + 40 + 192)),$((WY + 12 + 8)))"
sleep 0.5
shot menu-open
# Inside: the green corner of the panel, the shadow's dots; outside: the corner, dotted shadow
# gaps, the bottom rows.
check_popup menu "$work/menu-before.png" "$work/menu-open.png" "$art/menu_background.png" \
    "$MX" "$MY" 60 79 "3,3 56,10 59,9 8,78" "0,0 55,10 59,1 54,8 1,78 58,77"
xdotool key Escape
if ! wait_gone $prog 60x79; then
    echo "note: Escape did not close the menu; clicking beside it"
    xdotool mousemove $((WX + 550)) $((WY + 300)) click 1
    wait_gone $prog 60x79 || fail "the level menu did not close"
fi
ok "level menu closed"
sleep 0.3
shot menu-closed
changed=$(differing "$work/menu-before.png" "$work/menu-closed.png")
[ "$changed" = 0 ] || fail "the screen differs in $changed pixels after the menu closed"
ok "the screen is as before once the menu has closed"

# The version button (0,0 in the title bar, 25 × 23) opens the dialog at the window + (66,72).
xdotool mousemove $((WX + 8)) $((WY + 12))
sleep 0.3
shot dialog-before
xdotool click 1
dialog=$(wait_window $prog 380x85) || fail "the dialog did not open"
eval "$(xdotool getwindowgeometry --shell "$dialog")"
DX=$X; DY=$Y
expect_equal "dialog position" "($DX,$DY)" "($((WX + 66)),$((WY + 72)))"
sleep 0.5
shot dialog-open
check_popup dialog "$work/dialog-before.png" "$work/dialog-open.png" "$art/dialog_background.png" \
    "$DX" "$DY" 380 85 "30,60 10,60 374,16 200,80" "0,0 373,16 375,16 379,0 378,1 2,84"
# はい: the title bar at (4,4), its one-pixel frame, はい at (96,0) inside it, 81 × 17.
xdotool mousemove $((DX + 4 + 1 + 96 + 40)) $((DY + 4 + 1 + 8)) click 1
if ! wait_gone $prog 380x85; then
    echo "note: clicking はい did not close the dialog; pressing Return"
    xdotool windowfocus --sync "$dialog" 2>/dev/null; xdotool key --clearmodifiers Return
    wait_gone $prog 380x85 || fail "the dialog did not close"
fi
ok "dialog closed with はい"
kill -0 $prog 2>/dev/null || fail "the program ended with the dialog"

# 終了 ends the program.
xdotool mousemove $((WX + 64)) $((WY + 16)) click 1
for _ in $(seq 1 100); do kill -0 $prog 2>/dev/null || break; sleep 0.1; done
kill -0 $prog 2>/dev/null && fail "終了 did not end the program"
wait $prog; rc=$?
[ $rc -eq 0 ] || fail "exit code $rc after 終了"
ok "program ended with 終了"

# --- Without msg.rgn the dialog cannot cut its outline: the fatal message, then the end.
nomsg=$work/program-without-msg.rgn
rm -rf "$nomsg"; cp -r "$prog_dir" "$nomsg"; rm -f "$nomsg/msg.rgn"
[ ! -e "$nomsg/msg.rgn" ] || fail "could not remove msg.rgn from the copy"
"$nomsg/horokata" >"$work/nomsg.log" 2>&1 &
bad=$!; pids+=("$bad")
box=""
for _ in $(seq 1 100); do
    for id in $(xdotool search --onlyvisible --pid $bad 2>/dev/null); do
        [ "$(xdotool getwindowname "$id" 2>/dev/null)" = "エラー＝強制終了！" ] && box=$id
    done
    [ -n "$box" ] && break
    kill -0 $bad 2>/dev/null || break
    sleep 0.1
done
[ -n "$box" ] || fail "no message box titled エラー＝強制終了！ appeared"
ok "message box titled '$(xdotool getwindowname "$box")'"
sleep 0.3
shot missing-outline
xdotool windowfocus --sync "$box" 2>/dev/null; xdotool key --clearmodifiers Return
for _ in $(seq 1 50); do kill -0 $bad 2>/dev/null || break; sleep 0.1; done
if kill -0 $bad 2>/dev/null; then
    left=$(xdotool search --onlyvisible --pid $bad 2>/dev/null | wc -l)
    fail "the program still runs after its fatal message ($left visible windows)"
fi
wait $bad; rc=$?
[ $rc -ne 0 ] || fail "the program exited with 0 after the fatal message"
ok "program ended with exit code $rc"
sleep 0.3
shot after-missing-outline
changed=$(differing "$work/empty-screen.png" "$work/after-missing-outline.png")
[ "$changed" = 0 ] || fail "$changed pixels differ from the empty screen: a window was left behind"
ok "no window left on the screen"
echo "PASS"
