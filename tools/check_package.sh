#!/usr/bin/env bash
# Builds the Debian package from a finished build directory (default: build), unpacks it into
# a temporary folder and checks what it holds: the files land where the desktop looks for
# them, the desktop entry, the AppStream metainfo and the MIME type validate, the man pages
# render without warnings, tabellan-cli runs from the unpacked tree and prints the package's
# version, and the library dependencies were computed.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

fail() {
  echo "check_package: $*" >&2
  exit 1
}

(cd "$build" && cpack -G DEB -B "$tmp/out" >"$tmp/cpack.log" 2>&1) || {
  cat "$tmp/cpack.log" >&2
  fail "cpack failed"
}
debs=("$tmp"/out/tabellan_*.deb)
[ -f "${debs[0]}" ] || fail "no package in $tmp/out"
deb=${debs[0]}
root=$tmp/root
dpkg-deb -x "$deb" "$root"

metainfo=usr/share/metainfo/org.velmorn.tabellan.metainfo.xml
for f in usr/bin/tabellan usr/bin/tabellan-cli usr/share/applications/tabellan.desktop \
  "$metainfo" usr/share/mime/packages/tabellan.xml \
  usr/share/icons/hicolor/scalable/apps/tabellan.svg \
  usr/share/man/man1/tabellan.1.gz usr/share/man/man1/tabellan-cli.1.gz \
  usr/share/tabellan/help/index.html; do
  [ -s "$root/$f" ] || fail "$f is missing from the package"
done
for size in 16 22 24 32 48 64 128 256; do
  png=$root/usr/share/icons/hicolor/${size}x${size}/apps/tabellan.png
  [ -s "$png" ] || fail "no ${size}x${size} icon"
  # The PNG header holds the width and height as big-endian numbers at bytes 16 and 20.
  [ "$(od -An --endian=big -tu4 -j16 -N8 "$png" | tr -s ' ')" = " $size $size" ] ||
    fail "the ${size}x${size} icon has another size"
done
[ -z "$(find "$root" -name '*.a' -o -name '*.h' -o -name '*_tests')" ] ||
  fail "the package holds build or test files"

desktop=$root/usr/share/applications/tabellan.desktop
desktop-file-validate "$desktop" || fail "desktop entry does not validate"
exec_line=$(sed -n 's/^Exec=//p' "$desktop")
[ -x "$root/usr/bin/${exec_line%% *}" ] || fail "Exec=$exec_line names no installed program"
appstreamcli validate --no-net "$root/$metainfo" >"$tmp/appstream.log" || {
  cat "$tmp/appstream.log" >&2
  fail "metainfo does not validate"
}
grep -q "<launchable type=\"desktop-id\">tabellan.desktop<" "$root/$metainfo" ||
  fail "metainfo does not launch the installed desktop entry"

mkdir -p "$tmp/mime/packages"
cp "$root/usr/share/mime/packages/tabellan.xml" "$tmp/mime/packages/"
XDG_DATA_HOME=$tmp update-mime-database "$tmp/mime" 2>"$tmp/mime.log" && [ ! -s "$tmp/mime.log" ] || {
  cat "$tmp/mime.log" >&2
  fail "MIME type does not validate"
}
# Each type the desktop entry opens is defined by the package, with a file name pattern.
for type in $(sed -n 's/^MimeType=//p' "$desktop" | tr ';' ' '); do
  grep -q "^[0-9]*:$type:\*\." "$tmp/mime/globs2" || fail "MIME type $type has no file name pattern"
done

for page in tabellan tabellan-cli; do
  gz=$root/usr/share/man/man1/$page.1.gz
  warnings=$(MANWIDTH=80 man --warnings=w -l "$gz" 2>&1 >"$tmp/$page.txt") || true
  [ -z "$warnings" ] || fail "man $page: $warnings"
  grep -q "^NAME" "$tmp/$page.txt" || fail "man $page renders without a NAME section"
done

version=$(dpkg-deb -f "$deb" Version)
cli_version=$("$root/usr/bin/tabellan-cli" --version) || fail "tabellan-cli --version failed"
[ "$cli_version" = "${version%-*}" ] ||
  fail "tabellan-cli says version $cli_version, the package is $version"
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libc6 libicu libqt6widgets6 libqt6svg6; do
  [[ $depends == *"$lib"* ]] || fail "Depends lacks $lib: $depends"
done
echo "check_package: $(basename "$deb") ok (Depends: $depends)"
