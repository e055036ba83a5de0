#!/usr/bin/env bash
# Builds the Debian package from the install rules and unpacks it into a temporary root, then
# checks that it puts every file where the desktop looks for it, each icon at its size, that the
# entry and the metainfo pass their validators and name each other and the icon, and what it
# depends on.
#   test_install.sh BUILD-DIR
set -euo pipefail
trap 'echo "FAILED at line $LINENO: $BASH_COMMAND" >&2' ERR
for tool in cpack dpkg-deb desktop-file-validate appstreamcli; do
  command -v "$tool" >/dev/null || { echo "SKIPPED: no $tool here to build or check the package"; exit 77; }
done
build=$(cd "$1" && pwd) work=$(mktemp -d) id=org.quorvane.Quorvane
trap 'rm -rf "$work"' EXIT
(cd "$build" && cpack -G DEB -B "$work/package" >/dev/null)
dpkg-deb -x "$work"/package/quorvane_*.deb "$work/root"
share=$work/root/usr/share
test -x "$work/root/usr/bin/quorvane"
appstreamcli validate --no-net "$share/metainfo/$id.metainfo.xml" >/dev/null
# The validators accept an entry the metainfo does not launch, and an icon nobody installed.
entry=$share/applications/$(sed -n 's|.*<launchable type="desktop-id">\(.*\)</launchable>|\1|p' "$share/metainfo/$id.metainfo.xml")
desktop-file-validate "$entry"
if grep -q "^MimeType=" "$entry"; then false; fi # it opens no file given
for size in 16 32 48 64 128 256; do # the entry's icon at each size: width and height from the PNG header
  test "$(od -An -tu4 --endian=big -j16 -N8 "$share/icons/hicolor/${size}x${size}/apps/$(sed -n 's/^Icon=//p' "$entry").png" | xargs)" = "$size $size"
done
depends=$(dpkg-deb -f "$work"/package/quorvane_*.deb Depends)
for needed in libqt6widgets6 qt6-qpa-plugins qt6-translations-l10n; do grep -q "$needed" <<<"$depends"; done
echo "PASSED: the package puts all where the desktop expects it (Depends: $depends)"
