#!/bin/bash
# Checks the installed menu entry and AppStream file: desktop-file-validate and
# appstreamcli validate (pedantic, no network) pass on them and on the installed tree, and
# both validators do reject a broken file; the entry's Icon, Exec, names, comments and
# categories, and the metainfo's id, launchable, binary and release match what is installed.
set -u
prog_dir=$(cd "$1" && pwd)
work=${2:-$(mktemp -d)}
rm -rf "$work"; mkdir -p "$work"
build=$(dirname "$prog_dir")
fail() { echo "FAIL: $*"; exit 1; }

command -v desktop-file-validate >/dev/null || fail "desktop-file-validate is missing (desktop-file-utils)"
command -v appstreamcli >/dev/null || fail "appstreamcli is missing (appstream)"
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 \
    || { cat "$work/install.log"; fail "cmake --install failed"; }

desktop=$prefix/share/applications/horokata.desktop
metainfo=$(ls "$prefix"/share/metainfo/*.metainfo.xml 2>/dev/null | head -n1)
[ -f "$desktop" ] || fail "no share/applications/horokata.desktop"
[ -f "$metainfo" ] || fail "no share/metainfo/*.metainfo.xml"

# The validators must be able to fail, or passing them means nothing.
sed 's/^Type=Application$/Type=Program/' "$desktop" >"$work/broken.desktop"
desktop-file-validate "$work/broken.desktop" >/dev/null 2>&1 && fail "desktop-file-validate accepted Type=Program"
sed 's:<metadata_license>.*</metadata_license>::' "$metainfo" >"$work/broken.metainfo.xml"
appstreamcli validate --no-net "$work/broken.metainfo.xml" >/dev/null 2>&1 && fail "appstreamcli accepted a file without metadata_license"

out=$(desktop-file-validate "$desktop" 2>&1) || { echo "$out"; fail "desktop-file-validate rejected horokata.desktop"; }
[ -z "$out" ] || { echo "$out"; fail "desktop-file-validate had remarks on horokata.desktop"; }
echo "ok: desktop-file-validate passes horokata.desktop without remarks"

appstreamcli validate --no-net --pedantic "$metainfo" >"$work/validate.log" 2>&1 \
    || { cat "$work/validate.log"; fail "appstreamcli validate rejected $(basename "$metainfo")"; }
grep -E '^(E|W|P): ' "$work/validate.log" && fail "appstreamcli validate has errors, warnings or pedantic remarks"
echo "ok: appstreamcli validate --no-net --pedantic passes $(basename "$metainfo") ($(tail -n1 "$work/validate.log"))"

appstreamcli validate-tree --no-net "$prefix" >"$work/validate-tree.log" 2>&1 \
    || { cat "$work/validate-tree.log"; fail "appstreamcli validate-tree rejected the installed tree"; }
grep -E '^(E|W): ' "$work/validate-tree.log" && fail "appstreamcli validate-tree has errors or warnings"
echo "ok: appstreamcli validate-tree --no-net passes the installed tree"

# What the entry says matches what is installed.
key() { sed -n "s/^$1=//p" "$desktop"; }
[ "$(key Name)" = ホロカタ ] || fail "Name is '$(key Name)'"
[ "$(key 'Name\[ja\]')" = ホロカタ ] || fail "Name[ja] is '$(key 'Name\[ja\]')'"
[ -n "$(key GenericName)" ] || fail "no GenericName"
key Comment | grep -q '^[ -~]*[A-Za-z][ -~]*$' || fail "Comment is not English: '$(key Comment)'"
key 'Comment\[ja\]' | grep -qP '[\x{3040}-\x{30ff}\x{4e00}-\x{9fff}]' || fail "Comment[ja] is not Japanese: '$(key 'Comment\[ja\]')'"
[ -n "$(key Keywords)" ] || fail "no Keywords"
[ "$(key Categories)" = "Game;LogicGame;" ] || fail "Categories is '$(key Categories)'"
[ "$(key Exec)" = horokata ] || fail "Exec is '$(key Exec)'"
[ -x "$prefix/bin/$(key Exec)" ] || fail "Exec names no installed program"
icon=$(key Icon)
[ "$icon" = horokata ] || fail "Icon is '$icon'"
[ -f "$prefix/share/icons/hicolor/48x48/apps/$icon.png" ] || fail "Icon names no installed 48x48 icon"
echo "ok: Name, Name[ja], GenericName, Comment (English), Comment[ja] (Japanese), Keywords, Categories, Exec and Icon"

tag() { sed -n "s:.*<$1>\(.*\)</$1>.*:\1:p" "$metainfo" | head -n1; }
id=$(tag id)
[ "$(basename "$metainfo")" = "$id.metainfo.xml" ] || fail "file name does not match id '$id'"
[ "$(sed -n 's:.*<launchable type="desktop-id">\(.*\)</launchable>.*:\1:p' "$metainfo")" = horokata.desktop ] || fail "launchable is not horokata.desktop"
[ "$(tag binary)" = horokata ] || fail "provided binary is not horokata"
grep -q '<content_rating type="oars-1.1"' "$metainfo" || fail "no OARS 1.1 content rating"
[ "$(tag project_license)" = "MIT AND CC-BY-SA-4.0" ] || fail "project_license is '$(tag project_license)'"
grep -q 'example\.invalid' "$metainfo" && fail "the metainfo still names an invented address"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
grep -q "<release version=\"$version\"" "$metainfo" || fail "no release entry for version $version"
echo "ok: id $id matches the file name; launchable, binary, OARS rating, licences, release $version"
echo "PASS"
