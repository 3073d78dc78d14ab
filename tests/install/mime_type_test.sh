#!/usr/bin/env bash
# Installs the build into a temporary prefix and asks the desktop, through xdg-mime, what
# Tessaline's data files are: by their name, and by the first bytes of each layout the
# program reads. The install step must have brought the MIME and desktop caches up to date.
#   mime_type_test.sh BUILD-DIR
set -euo pipefail
build=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
prefix=$tmp/usr
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >"$tmp/install.log" || { cat "$tmp/install.log"; exit 1; }
[ -f "$prefix/share/mime/packages/tessaline.xml" ] || fail "the MIME type was not installed"
[ -f "$prefix/share/mime/mime.cache" ] || fail "update-mime-database did not run"
[ -f "$prefix/share/applications/mimeinfo.cache" ] || fail "update-desktop-database did not run"
grep -q '^application/x-tessaline-data=tessaline.desktop' "$prefix/share/applications/mimeinfo.cache" ||
    fail "the desktop entry does not claim the data files"
desktop-file-validate "$prefix/share/applications/tessaline.desktop"

# Only the temporary prefix is searched: a MIME type known elsewhere cannot help.
mkdir -p "$tmp/home" "$tmp/data-home"
export HOME=$tmp/home XDG_DATA_HOME=$tmp/data-home XDG_DATA_DIRS=$prefix/share
export XDG_CURRENT_DESKTOP=GNOME  # xdg-mime asks GLib, which reads the shared MIME database

files=$tmp/files
mkdir -p "$files"
printf 'not even a data file' >"$files/by-name.tse"
printf 'not even a data file' >"$files/by-name.tsf"
# A plain data file in the current layout, without cards: "nLsT" at byte 14.
printf '\x00\x06\x00\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00nLsT\x00\x00\x00\x00' >"$files/current"
printf 'NTENCRYPTVersion1.001XYZ' >"$files/old-1001"
printf 'NTENCRYPTVersion1.002%020d' 0 >"$files/old-1002"
printf 'TessalineSealed1\x01\x01\x00\x00' >"$files/sealed"
printf 'TessalineSealed2\x01\x01\x00\x00' >"$files/sealed2"
printf 'just a note\n' >"$files/other.txt"
# The creator code at another place is not a data file.
printf '\x00\x06nLsT\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0a\x0b\x0c\x0d\x0e\x0f\x10' >"$files/other.bin"

status=0
for f in by-name.tse by-name.tsf current old-1001 old-1002 sealed sealed2 other.txt other.bin; do
    type=$(xdg-mime query filetype "$files/$f" || true)
    echo "xdg-mime query filetype $f: $type"
    want=application/x-tessaline-data
    [ "$f" = other.txt ] && want=text/plain
    [ "$f" = other.bin ] && want=application/octet-stream
    if [ "$type" != "$want" ]; then
        echo "FAIL: $f is \"$type\", not $want" >&2
        status=1
    fi
done
default=$(xdg-mime query default application/x-tessaline-data || true)
echo "xdg-mime query default application/x-tessaline-data: $default"
[ "$default" = tessaline.desktop ] || { echo "FAIL: opened by \"$default\"" >&2; status=1; }
exit $status
