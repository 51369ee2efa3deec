#!/bin/bash
# Builds the Debian package with CPack and checks its control fields (name, version, section,
# maintainer, Depends resolvable here) and its contents. As root with apt, and only when
# nothing but this package would be installed, it also installs the package, starts
# `horokata` from PATH under Xvfb, quits with 終了 and removes the package again.
set -u
prog_dir=$(cd "$1" && pwd)
work=${2:-$(mktemp -d)}
rm -rf "$work"; mkdir -p "$work"
here=$(cd "$(dirname "$0")" && pwd)
build=$(dirname "$prog_dir")
fail() { echo "FAIL: $*"; exit 1; }

[ -f "$build/CPackConfig.cmake" ] || fail "no CPackConfig.cmake in $build"
command -v dpkg-deb >/dev/null || fail "dpkg-deb is missing"
(cd "$build" && cpack -G DEB -B "$work/out") >"$work/cpack.log" 2>&1 \
    || { cat "$work/cpack.log"; fail "cpack -G DEB failed"; }
arch=$(dpkg --print-architecture)
deb=$work/out/horokata_1.0_${arch}.deb
[ -f "$deb" ] || { ls "$work/out"; fail "cpack did not make horokata_1.0_${arch}.deb"; }
echo "ok: cpack made $(basename "$deb")"

# Control fields.
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = horokata ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = 1.0 ] || fail "Version is '$(field Version)'"
[ "$(field Section)" = games ] || fail "Section is '$(field Section)'"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture is '$(field Architecture)'"
[ "$(field Maintainer)" = "Horokata developers <horokata@example.invalid>" ] || fail "Maintainer is '$(field Maintainer)'"
depends=$(field Depends)
echo "Depends: $depends"
names=$(echo "$depends" | tr ',|' '\n\n' | sed 's/([^)]*)//; s/^ *//; s/ *$//' | grep .)
for p in libqt6core6 libqt6gui6 libqt6widgets6 libqt6multimedia6 qt6-qpa-plugins \
         gstreamer1.0-plugins-base fonts-noto-cjk; do
    echo "$names" | grep -qx "$p" || fail "Depends lacks $p"
done
if command -v apt-cache >/dev/null; then
    for p in $names; do
        apt-cache show "$p" >/dev/null 2>&1 || fail "Depends names $p, which apt does not know"
    done
    echo "ok: every package in Depends is known to apt"
fi
echo "ok: Package, Version, Section, Architecture, Maintainer and Depends"

# Contents: paths with their modes.
dpkg-deb -c "$deb" >"$work/contents.txt" || fail "dpkg-deb -c failed"
awk '{ print $1, $2 }' "$work/contents.txt" | grep -v '^[-d][rwx-]* root/root$' \
    && fail "entries not owned by root/root"
mode_of() { awk -v p="./$1" '{ path = substr($0, index($0, "./")) } path == p { print $1 }' "$work/contents.txt"; }
expect() { # path mode
    local m; m=$(mode_of "$1")
    [ -n "$m" ] || fail "package lacks /$1"
    [ "$m" = "$2" ] || fail "/$1 has mode $m, expected $2"
}
expect usr/bin/horokata -rwxr-xr-x
expect usr/lib/horokata/horokata -rwxr-xr-x
expect usr/lib/horokata/libhorokata_sound.so -rw-r--r--
for f in 初級.txt 一般.txt 特殊.txt 其他.txt 読みと意味.txt msg.rgn CREDITS.txt LICENSE-EDRDG.txt \
         "system/Media/The Microsoft Sound.wav" system/Media/Chord.wav \
         system/Media/Chimes.wav system/Media/Tada.wav; do
    expect "usr/lib/horokata/$f" -rw-r--r--
done
expect usr/share/applications/horokata.desktop -rw-r--r--
expect usr/share/man/man6/horokata.6.gz -rw-r--r--
for size in 16 24 32 48 64 128 256; do
    expect usr/share/icons/hicolor/${size}x${size}/apps/horokata.png -rw-r--r--
done
grep -q '\./usr/share/metainfo/[^/]*\.metainfo\.xml$' "$work/contents.txt" || fail "package lacks a metainfo file"
expect usr/share/doc/horokata/LICENSE-EDRDG.txt -rw-r--r--
grep -v ' \./usr/' "$work/contents.txt" | grep -v ' \./$' && fail "package has files outside /usr"
echo "ok: launcher, binary, idiom lists, msg.rgn, sounds, menu entry, manual page, icons, metainfo, docs under /usr"

# The packaged data files are the ones the program folder runs with (the binary and the
# sound module are installed stripped).
dpkg-deb -x "$deb" "$work/root" || fail "dpkg-deb -x failed"
(cd "$prog_dir" && find . -type f ! -name horokata ! -name "*.so") | while read -r f; do
    cmp -s "$prog_dir/$f" "$work/root/usr/lib/horokata/$f" || { echo "FAIL: packaged $f differs from the program folder"; exit 1; }
done || exit 1
echo "ok: every data file of the program folder is packaged unchanged"

# Installing for real.
if [ "$(id -u)" -ne 0 ] || ! command -v apt-get >/dev/null; then
    echo "SKIPPED: installing the package (needs root and apt-get)"; echo "PASS"; exit 0
fi
if dpkg-query -W -f='${Status}' horokata 2>/dev/null | grep -q "ok installed"; then
    echo "SKIPPED: installing the package (horokata is already installed on this machine)"; echo "PASS"; exit 0
fi
apt-get install -s -y --no-install-recommends "$deb" >"$work/simulate.log" 2>&1
others=$(grep '^Inst ' "$work/simulate.log" | awk '{ print $2 }' | grep -vx horokata)
if ! grep -q '^Inst horokata ' "$work/simulate.log" || [ -n "$others" ]; then
    cat "$work/simulate.log"
    echo "SKIPPED: installing the package (it would also install: ${others:-?})"; echo "PASS"; exit 0
fi

installed=0
remove() {
    [ $installed -eq 1 ] || return
    DEBIAN_FRONTEND=noninteractive apt-get purge -y horokata >"$work/remove.log" 2>&1 \
        || { cat "$work/remove.log"; echo "FAIL: apt-get purge horokata failed"; exit 1; }
    installed=0
}
trap remove EXIT
installed=1
DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "$deb" >"$work/apt.log" 2>&1 \
    || { cat "$work/apt.log"; fail "apt-get install failed"; }
echo "ok: apt-get installed the package"
[ "$(command -v horokata)" = /usr/bin/horokata ] || fail "horokata on PATH is '$(command -v horokata)'"

bash "$here/../support/run_xvfb.sh" bash "$here/lib/package_inner.sh" "$work" || exit 1

remove
trap - EXIT
dpkg-query -W -f='${Status}' horokata 2>/dev/null | grep -q "ok installed" && fail "horokata is still installed"
[ ! -e /usr/bin/horokata ] && [ ! -e /usr/lib/horokata ] && [ ! -e /usr/share/applications/horokata.desktop ] \
    || fail "files left behind after removal"
echo "ok: apt-get purge removed the package and its files"
echo "PASS"
