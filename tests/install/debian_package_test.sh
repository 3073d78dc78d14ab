#!/usr/bin/env bash
# Makes the Debian package from the build with CPack and checks what it holds: both
# programs, the menu entry, the icon, the MIME type and the manual pages under /usr, no
# cache of the MIME or desktop databases, and dependencies found by dpkg-shlibdeps.
#   debian_package_test.sh BUILD-DIR VERSION
set -euo pipefail
build=$1
version=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$build" && cpack -G DEB -B "$tmp" >"$tmp/cpack.log") || { cat "$tmp/cpack.log"; exit 1; }
deb=$tmp/tessaline_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || { ls "$tmp"; fail "no package named $(basename "$deb")"; }

dpkg-deb -c "$deb" | awk '{print $6}' >"$tmp/contents"
cat "$tmp/contents"
for path in ./usr/bin/tessaline ./usr/bin/tessaline-cli ./usr/bin/tessaline-browser-keeper \
    ./usr/share/applications/tessaline.desktop \
    ./usr/share/icons/hicolor/scalable/apps/tessaline.svg \
    ./usr/share/mime/packages/tessaline.xml \
    ./usr/share/man/man1/tessaline.1.gz ./usr/share/man/man1/tessaline-cli.1.gz; do
    grep -qx -- "$path" "$tmp/contents" || fail "the package lacks $path"
done
# The caches belong to shared-mime-info and desktop-file-utils, which update them
# through their triggers.
if grep -E '/mime/mime\.cache$|/mime/globs2?$|/applications/mimeinfo\.cache$' "$tmp/contents"; then
    fail "the package holds a cache of the MIME or desktop database"
fi

dpkg-deb -f "$deb" Package Version Architecture Depends
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libc6 libqt6widgets6 libcsv3; do
    grep -q "$lib" <<<"$depends" || fail "Depends does not name $lib: $depends"
done
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "wrong version"

# The manual pages are real pages with the programs' options in them.
dpkg-deb -x "$deb" "$tmp/root"
zcat "$tmp/root/usr/share/man/man1/tessaline-cli.1.gz" | grep -q '^\.TH TESSALINE-CLI' ||
    fail "tessaline-cli.1 is not a manual page"
zcat "$tmp/root/usr/share/man/man1/tessaline.1.gz" | grep -q -- 'print' ||
    fail "tessaline.1 does not describe the print switches"
echo "package: $(basename "$deb")"
