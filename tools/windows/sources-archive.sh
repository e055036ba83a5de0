#!/usr/bin/env bash
# The sources archive beside the Windows zip:
#
#   tools/windows/sources-archive.sh BUILD_DIR
#
# BUILD_DIR/Quorvane-VERSION-sources.zip holds one folder, Quorvane-VERSION-sources/, with a
# README.txt, Quorvane's own source at the commit the folder was built from (quorvane/, with any
# change not yet committed) and, in debian/PACKAGE/, each source package fetch-sources.sh names, as
# it keeps them in the cache. When a package is not in the cache (it could not be fetched) no
# archive is written: BUILD_DIR/Quorvane-VERSION-sources.skipped says why, and test-folder.sh
# reports it.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
CACHE=${QUORVANE_WINDOWS_CACHE:-/var/cache/quorvane/windows}
SOURCES=$CACHE/sources

[ $# = 1 ] || { echo "usage: $0 BUILD_DIR" >&2; exit 2; }
BUILD=$(cd "$1" && pwd)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$BUILD/CMakeCache.txt")
[ -n "$version" ] || { echo "no project version in $BUILD/CMakeCache.txt" >&2; exit 1; }
name=Quorvane-$version-sources
rm -f "$BUILD/$name.zip" "$BUILD/$name.skipped"

sources=$(bash "$here/fetch-sources.sh" --list)
# The files of each package: its .dsc and those its .dsc lists, each with the checksum it gives.
files=() missing=()
while read -r package version_of_package; do
    dsc=${package}_${version_of_package#*:}.dsc
    if [ -f "$SOURCES/$dsc" ] && (cd "$SOURCES" &&
        awk '/^Checksums-Sha256:/ {on = 1; next} /^[^ ]/ {on = 0} on && NF == 3 {print $1 "  " $3}' \
            "$dsc" | sha256sum --quiet --check --strict) >/dev/null 2>&1; then
        files+=("$package/$dsc")
        for file in $(awk '/^Checksums-Sha256:/ {on = 1; next} /^[^ ]/ {on = 0} on && NF == 3 {print $3}' \
                      "$SOURCES/$dsc"); do
            files+=("$package/$file")
        done
    else
        missing+=("$package $version_of_package")
    fi
done <<<"$sources"
if [ ${#missing[@]} -gt 0 ]; then
    reason="not in $SOURCES, as tools/windows/fetch-sources.sh could not fetch them: $(
             IFS=,; echo "${missing[*]}" | sed 's/,/, /g')"
    echo "$reason" > "$BUILD/$name.skipped"
    echo "sources-archive.sh: $name.zip not written: $reason" >&2
    exit 0
fi

# Quorvane's source: the commit, or a commit-like snapshot of the changes not yet committed.
root=$(git -C "$here" rev-parse --show-toplevel)
commit=$(git -C "$root" rev-parse HEAD)
snapshot=$(git -C "$root" stash create)
described=$commit
[ -n "$snapshot" ] && described="$commit, with changes not yet committed"

title="Source of Quorvane $version for Windows"
cat > "$BUILD/$name-README.tmp" <<EOF
$title
$(tr -c '\n' '=' <<<"$title")

This archive holds the source of everything in Quorvane-$version.zip:

quorvane/
    Quorvane's own source, at commit
    $described
    (https://quorvane.org/), under the MIT licence (LICENSE). Its
    tools/windows/ holds the recipe that built the folder and Qt's DLLs.

debian/PACKAGE/
    Debian 12's source packages, each as "apt-get source --download-only"
    fetches it: its .dsc, its original tarball and Debian's tarball of
    changes (or its one tarball). "dpkg-source -x PACKAGE_VERSION.dsc"
    unpacks one with Debian's patches applied.
$(awk '{print "        " $1 " " $2}' <<<"$sources")
    licenses/README.txt in the folder says which files each one built.
EOF

python3 - "$BUILD/$name.zip" "$name" "$BUILD/$name-README.tmp" "$SOURCES" "$root" "${snapshot:-$commit}" \
    "${files[@]}" <<'PY'
import io, pathlib, subprocess, sys, tarfile, zipfile
out, top, readme, sources, root, tree, *files = sys.argv[1:]
tmp = out + ".tmp"
with zipfile.ZipFile(tmp, "w", zipfile.ZIP_DEFLATED) as archive:
    text = pathlib.Path(readme).read_text(encoding="utf-8").replace("\n", "\r\n")
    archive.writestr(f"{top}/README.txt", "\ufeff" + text)
    # The project's files as git holds them at that tree, with their modes.
    tar = subprocess.run(["git", "-C", root, "archive", "--format=tar", tree],
                         check=True, capture_output=True).stdout
    with tarfile.open(fileobj=io.BytesIO(tar)) as project:
        for member in project:
            if member.isfile():
                info = zipfile.ZipInfo(f"{top}/quorvane/{member.name}", (1980, 1, 1, 0, 0, 0))
                info.external_attr = (0o100000 | member.mode) << 16
                info.compress_type = zipfile.ZIP_DEFLATED
                archive.writestr(info, project.extractfile(member).read())
    # The packages' tarballs are compressed already: stored as they are.
    for file in files:
        package, name = file.split("/", 1)
        archive.write(pathlib.Path(sources) / name, f"{top}/debian/{package}/{name}",
                      compress_type=zipfile.ZIP_STORED)
pathlib.Path(tmp).rename(out)
PY
rm "$BUILD/$name-README.tmp"
echo "wrote $BUILD/$name.zip ($(du -sh "$BUILD/$name.zip" | cut -f1))"
