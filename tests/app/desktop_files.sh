#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks it as a desktop
# program: the menu entry, the AppStream data and the icons validate and
# name each other, and the menu's launcher starts the recorder in a folder
# of its own with the design-time settings.
#   desktop_files.sh <build dir> <project version>
# Needs desktop-file-utils, appstream and imagemagick (identify).
set -euo pipefail

build=$1
version=$2
id=pl.torni.Pomiarownik

prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

cmake --install "$build" --prefix "$prefix" >"$prefix/install.log" || {
  cat "$prefix/install.log"; fail "cmake --install"; }

share=$prefix/share
desktop=$share/applications/$id.desktop
metainfo=$share/metainfo/$id.metainfo.xml
for f in "$prefix/bin/pomiarownik" "$prefix/bin/pomiarownik-desktop"; do
  [ -x "$f" ] || fail "$f is not an installed program"
done
for f in "$desktop" "$metainfo" "$share/icons/hicolor/scalable/apps/$id.svg" \
         "$share/icons/hicolor/128x128/apps/$id.png"; do
  [ -s "$f" ] || fail "$f is missing"
done

desktop-file-validate "$desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net --strict "$metainfo" || fail "appstreamcli validate"

# They name each other and the installed files.
key() { sed -n "s/^$1=//p" "$desktop"; }
[ -x "$prefix/bin/$(key Exec)" ] || fail "Exec=$(key Exec) is not in bin"
[ "$(key Icon)" = "$id" ] || fail "Icon=$(key Icon)"
[ "$(key Categories)" = "Science;Electronics;" ] || fail "Categories=$(key Categories)"
grep -q "<id>$id</id>" "$metainfo" || fail "metainfo id"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" \
  || fail "metainfo launchable"
grep -q "<release version=\"$version\"" "$metainfo" || fail "metainfo release is not $version"
size=$(identify -format '%wx%h' "$share/icons/hicolor/128x128/apps/$id.png")
[ "$size" = 128x128 ] || fail "the PNG icon is $size"
identify "$share/icons/hicolor/scalable/apps/$id.svg" >/dev/null || fail "the SVG icon does not read"

# The launcher, with a stand-in for the recorder that reports where it runs.
bin=$prefix/launch/bin
mkdir -p "$bin"
cp "$prefix/bin/pomiarownik-desktop" "$bin/"
cat >"$bin/pomiarownik" <<'STUB'
#!/bin/sh
echo "cwd=$PWD args=$*"
STUB
chmod +x "$bin/pomiarownik"
folder="$prefix/launch/home/Pomiarownik"
out=$(HOME="$prefix/launch/home" "$bin/pomiarownik-desktop" one)
[ "$out" = "cwd=$folder args=one" ] || fail "launcher ran: $out"
expected=$(printf '%s\r\n' "TORNI - Jednokanalowy pomiarownik temperatury. Plik konfiguracyjny" \
  25 22 0 auto blank 255 100 0 0 | od -c)
[ "$(od -c <"$folder/config.kvt")" = "$expected" ] || fail "the first settings differ"
# Settings the operator saved stay as they are.
printf 'mine\r\n' >"$folder/config.kvt"
HOME="$prefix/launch/home" "$bin/pomiarownik-desktop" >/dev/null
[ "$(cat "$folder/config.kvt")" = $'mine\r' ] || fail "the launcher replaced saved settings"
# A folder it cannot make: it says so through the shell and starts nothing.
touch "$prefix/launch/file"
if out=$(POMIAROWNIK_DIR="$prefix/launch/file/sub" "$bin/pomiarownik-desktop" 2>/dev/null); then
  fail "the launcher went on without its folder: $out"
fi
echo "installed, validated, launcher checked"
