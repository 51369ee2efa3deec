#!/bin/bash
# Installs the build tree into a fresh prefix and checks the layout (launcher, binary, data
# files, menu entry, icons, AppStream file, manual page, docs); moves the prefix elsewhere and makes it
# read-only; starts the game through a symbolic link on PATH under Xvfb, deals a board with
# 新規 and quits with 終了; then checks that nothing under the prefix changed.
set -u
prog_dir=$(cd "$1" && pwd)
work=${2:-$(mktemp -d)}
rm -rf "$work"; mkdir -p "$work"
here=$(cd "$(dirname "$0")" && pwd)
build=$(dirname "$prog_dir")
fail() { echo "FAIL: $*"; exit 1; }

prefix=$work/prefix
cleanup() { [ -d "$prefix" ] && chmod -R u+w "$prefix"; }
trap cleanup EXIT

[ -f "$build/cmake_install.cmake" ] || fail "$build is not a build tree"
cmake --install "$build" --prefix "$work/staged" >"$work/install.log" 2>&1 \
    || { cat "$work/install.log"; fail "cmake --install failed"; }
# The installed tree must not depend on the prefix it was installed into.
mv "$work/staged" "$prefix"
echo "ok: installed into a prefix, then moved to $prefix"

# Layout.
expect_file() { [ -f "$prefix/$1" ] || fail "missing $1"; }
for f in bin/horokata lib/horokata/horokata \
         lib/horokata/初級.txt lib/horokata/一般.txt lib/horokata/特殊.txt lib/horokata/其他.txt lib/horokata/読みと意味.txt \
         lib/horokata/msg.rgn lib/horokata/CREDITS.txt lib/horokata/LICENSE-EDRDG.txt \
         "lib/horokata/system/Media/The Microsoft Sound.wav" lib/horokata/system/Media/Chord.wav \
         lib/horokata/system/Media/Chimes.wav lib/horokata/system/Media/Tada.wav \
         share/applications/horokata.desktop share/man/man6/horokata.6.gz \
         share/doc/horokata/CREDITS.txt share/doc/horokata/LICENSE-EDRDG.txt; do
    expect_file "$f"
done
[ -x "$prefix/bin/horokata" ] || fail "bin/horokata is not executable"
[ -x "$prefix/lib/horokata/horokata" ] || fail "lib/horokata/horokata is not executable"
head -c 4 "$prefix/lib/horokata/horokata" | grep -q $'\x7fELF' || fail "lib/horokata/horokata is not an ELF binary"
head -n1 "$prefix/bin/horokata" | grep -q '^#!/bin/sh' || fail "bin/horokata is not a sh script"
grep -qF -e "$build" -e "$work" "$prefix/bin/horokata" && fail "launcher holds an absolute path"
echo "ok: launcher, binary, idiom lists, msg.rgn, sounds, credits, licence, menu entry, manual page, docs"

# The manual page is gzip-compressed roff with a NAME line that whatis/apropos can index.
gzip -t "$prefix/share/man/man6/horokata.6.gz" || fail "the manual page is not gzip-compressed"
zcat "$prefix/share/man/man6/horokata.6.gz" | grep -q '^\.TH HOROKATA 6 ' || fail "the manual page has no .TH HOROKATA 6 line"
if command -v lexgrog >/dev/null; then
    lexgrog "$prefix/share/man/man6/horokata.6.gz" | grep -q 'horokata - ' || fail "lexgrog finds no NAME line in the manual page"
fi
echo "ok: manual page horokata(6)"

# Data files are the ones the program folder runs with.
(cd "$prog_dir" && find . -type f ! -name horokata) | while read -r f; do
    cmp -s "$prog_dir/$f" "$prefix/lib/horokata/$f" || { echo "FAIL: installed $f differs from the program folder"; exit 1; }
done || exit 1
echo "ok: every data file of the program folder is installed unchanged"

for size in 16 24 32 48 64 128 256; do
    icon=$prefix/share/icons/hicolor/${size}x${size}/apps/horokata.png
    [ -f "$icon" ] || fail "missing ${size}x${size} icon"
    got=$(identify -format '%wx%h' "$icon" 2>/dev/null)
    [ "$got" = "${size}x${size}" ] || fail "${size}x${size} icon is $got"
done
echo "ok: icons at 16 24 32 48 64 128 256, each of its stated size"

metainfo=$(ls "$prefix"/share/metainfo/*.metainfo.xml 2>/dev/null)
[ "$(echo "$metainfo" | grep -c .)" -eq 1 ] || fail "expected one metainfo file, found: $metainfo"
id=$(sed -n 's:.*<id>\(.*\)</id>.*:\1:p' "$metainfo")
[ "$(basename "$metainfo")" = "$id.metainfo.xml" ] || fail "metainfo file name does not match its id '$id'"
echo "ok: metainfo $(basename "$metainfo")"

# Read-only from here on; root ignores permissions, so compare listings as well.
mkdir -p "$work/path"
ln -s "$prefix/bin/horokata" "$work/path/horokata"
chmod -R a-w "$prefix"
bash "$here/lib/tree_state.sh" "$prefix" >"$work/before.txt"

bash "$here/../support/run_xvfb.sh" bash "$here/lib/install_inner.sh" "$prefix" "$work" || exit 1

bash "$here/lib/tree_state.sh" "$prefix" >"$work/after.txt"
if ! diff -u "$work/before.txt" "$work/after.txt" >"$work/changes.txt"; then
    cat "$work/changes.txt"
    fail "the program changed files under the install prefix"
fi
echo "ok: nothing under the prefix was created, removed or changed ($(wc -l <"$work/before.txt") entries compared)"
echo "PASS"
