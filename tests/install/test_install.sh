#!/usr/bin/env bash
# Installs the build into one temporary root and unpacks the Debian package into another, then
# checks that both put every file where the desktop looks for it, that the entry and the
# metainfo pass their validators, and what the package depends on.
#   test_install.sh BUILD-DIR
set -euo pipefail
build=$(cd "$1" && pwd) work=$(mktemp -d) id=org.quorvane.Quorvane
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*"; exit 1; }

check_root() {
  local share=$1/usr/share
  [ -x "$1/usr/bin/quorvane" ] || fail "$2: no usr/bin/quorvane"
  grep -qx "MimeType=application/x-gba-rom;" "$share/applications/$id.desktop" || fail "$2: entry"
  desktop-file-validate "$share/applications/$id.desktop" || fail "$2: desktop-file-validate"
  appstreamcli validate --no-net "$share/metainfo/$id.metainfo.xml" >/dev/null || fail "$2: metainfo"
  for size in 16 32 48 64 128 256; do
    icon=$share/icons/hicolor/${size}x${size}/apps/$id.png # its width and height, from the header
    [ "$(od -An -tu4 --endian=big -j16 -N8 "$icon" | xargs)" = "$size $size" ] || fail "$2: $icon"
  done
}

DESTDIR="$work/installed" cmake --install "$build" --prefix /usr >/dev/null
check_root "$work/installed" "cmake --install"
(cd "$build" && cpack -G DEB -B "$work/package" >/dev/null)
deb=$(ls "$work"/package/quorvane_*.deb)
dpkg-deb -x "$deb" "$work/unpacked"
check_root "$work/unpacked" "$(basename "$deb")"
depends=$(dpkg-deb -f "$deb" Depends)
for needed in libqt6widgets6 qt6-qpa-plugins qt6-translations-l10n; do
  [[ "$depends" == *"$needed"* ]] || fail "the package does not depend on $needed: $depends"
done
echo "PASSED: both layouts are where the desktop expects them (depends: $depends)"
