#!/usr/bin/env bash
# Installs the build into a temporary root, and builds the Debian package and unpacks it into
# another, then checks both put every file where the desktop looks for it, and that the
# desktop entry and the AppStream metainfo pass their validators.
#   test_install.sh BUILD-DIR
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
id=org.quorvane.Quorvane
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

# Width and height of a PNG, from its header.
png_size() { od -An -tu1 -j16 -N8 "$1" | awk '{print $1*16777216+$2*65536+$3*256+$4 "x" $5*16777216+$6*65536+$7*256+$8}'; }

check_root() {
  local root=$1 what=$2
  echo "- $what"
  [ -x "$root/usr/bin/quorvane" ] || fail "$what: no executable usr/bin/quorvane"
  local desktop="$root/usr/share/applications/$id.desktop"
  local metainfo="$root/usr/share/metainfo/$id.metainfo.xml"
  [ -f "$desktop" ] || fail "$what: no desktop entry"
  [ -f "$metainfo" ] || fail "$what: no AppStream metainfo"
  grep -qx "Icon=$id" "$desktop" || fail "$what: the desktop entry names another icon"
  grep -qx "Exec=quorvane" "$desktop" || fail "$what: the desktop entry starts another program"
  grep -qx "MimeType=application/x-gba-rom;" "$desktop" || fail "$what: no MIME type"
  grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
    fail "$what: the metainfo launches another desktop entry"
  for size in 16 32 48 64 128 256; do
    local icon="$root/usr/share/icons/hicolor/${size}x${size}/apps/$id.png"
    if [ ! -f "$icon" ]; then
      fail "$what: no ${size}x${size} icon"
    elif [ "$(png_size "$icon")" != "${size}x${size}" ]; then
      fail "$what: the ${size}x${size} icon is $(png_size "$icon")"
    fi
  done
  if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$desktop" || fail "$what: desktop-file-validate"
  else
    echo "  (desktop-file-validate is not installed: entry not validated)"
  fi
  if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$metainfo" >/dev/null || fail "$what: appstreamcli validate"
  else
    echo "  (appstreamcli is not installed: metainfo not validated)"
  fi
}

DESTDIR="$work/installed" cmake --install "$build" --prefix /usr >/dev/null
check_root "$work/installed" "cmake --install"

(cd "$build" && cpack -G DEB -B "$work/package" >/dev/null)
deb=$(ls "$work"/package/quorvane_*.deb)
dpkg-deb -x "$deb" "$work/unpacked"
check_root "$work/unpacked" "the Debian package $(basename "$deb")"
depends=$(dpkg-deb -f "$deb" Depends)
for needed in libqt6widgets6 libqt6gui6 libqt6core6 qt6-qpa-plugins; do
  [[ "$depends" == *"$needed"* ]] || fail "the package does not depend on $needed ($depends)"
done
unexpected=$(dpkg-deb -c "$deb" | awk '{print $6}' | grep -vE '^\./(usr/(share/)?)?$|^\./usr/bin/|^\./usr/share/(applications|metainfo|icons|mime)/' || true)
[ -z "$unexpected" ] || fail "the package holds more than the program: $unexpected"

if [ "$failures" -eq 0 ]; then
  echo "PASSED: both layouts are where the desktop expects them (depends: $depends)"
else
  exit 1
fi
