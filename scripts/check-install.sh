#!/usr/bin/env bash
# Installs into a scratch folder (make install DESTDIR=…) and checks what a desktop reads from
# it: the program, the desktop entry, the AppStream metadata and the icon in every size.
set -euo pipefail
cd "$(dirname "$0")/.."

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
make --no-print-directory install DESTDIR="$stage" PREFIX=/usr

root="$stage/usr"
fail() {
  echo "check-install: $*" >&2
  exit 1
}

[ -x "$root/bin/piyonote2" ] || fail "no program in $root/bin"

desktop="$root/share/applications/piyonote2.desktop"
desktop-file-validate "$desktop" || fail "desktop entry does not validate"
grep -Eq '^MimeType=(.*;)?text/plain;' "$desktop" || fail "text/plain missing from MimeType"
grep -q '^Name\[ja\]=' "$desktop" || fail "no Japanese name"

metainfo="$root/share/metainfo/io.github.piyonote2.metainfo.xml"
appstreamcli validate --no-net "$metainfo" || fail "AppStream metadata does not validate"

for size in 16 24 32 48 64 128 256; do
  icon="$root/share/icons/hicolor/${size}x${size}/apps/piyonote2.png"
  [ -f "$icon" ] || fail "no ${size}px icon"
  # PNG header: width and height as 32-bit big-endian numbers at bytes 16 and 20.
  dims=$(od -An -tu1 -j16 -N8 "$icon" | awk '{print $3*256+$4 "x" $7*256+$8}')
  [ "$dims" = "${size}x${size}" ] || fail "${size}px icon is $dims"
done

echo "check-install: ok"
