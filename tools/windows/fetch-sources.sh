#!/usr/bin/env bash
# The source of what the Windows folder ships built by others, as Debian's source packages, fetched
# once per machine into the cache for the sources archive beside the zip:
#
#   sudo tools/windows/fetch-sources.sh      # needs root: apt-get, /var/cache
#   tools/windows/fetch-sources.sh --list    # only print "PACKAGE VERSION", one a line
#
# qt6-base (Qt's DLLs), qt6-translations (the toolkit's French texts), gcc-mingw-w64 and the GCC source it builds from (the GCC runtime's DLLs,
# built from GCC's source with gcc-mingw-w64's own patches: both are their source), mingw-w64
# (winpthreads and the start-up code), at the versions installed here, each as `apt-get source`
# fetches it: the .dsc and every file it lists. A package whose files are all in the cache, each
# with the checksum its .dsc gives, is not fetched again. When a package cannot be fetched (no
# network, no such version on the mirror any more) this says so and stops without error: the
# folder is still assembled, and assemble.sh says the sources archive is not written.
set -euo pipefail
CACHE=${QUORVANE_WINDOWS_CACHE:-/var/cache/quorvane/windows}
SOURCES=$CACHE/sources

source_of() { dpkg-query -W -f='${source:Package} ${source:Version}\n' "$1"; }
list() {
    source_of qt6-base-dev
    source_of qt6-translations-l10n
    source_of gcc-mingw-w64-x86-64-posix-runtime
    # gcc-mingw-w64 builds from the gcc-N-source package, which its binaries name in Built-Using.
    local built_using
    built_using=$(dpkg-query -W -f='${Built-Using}' gcc-mingw-w64-x86-64-posix-runtime)
    [[ $built_using =~ ^(gcc-[0-9]+)\ \(=\ ([^\)]+)\)$ ]] ||
        { echo "fetch-sources.sh: the GCC runtime's Built-Using is not one GCC source: '$built_using'" >&2
          return 1; }
    echo "${BASH_REMATCH[1]} ${BASH_REMATCH[2]}"
    source_of mingw-w64-x86-64-dev
}
if [ "${1:-}" = --list ]; then list; exit 0; fi

# Whether every file of PACKAGE VERSION is in DIR with the checksum its .dsc gives.
complete() {
    local dsc=$3/$1_${2#*:}.dsc     # a file name leaves the epoch out
    [ -f "$dsc" ] || return 1
    awk '/^Checksums-Sha256:/ {on = 1; next} /^[^ ]/ {on = 0} on && NF == 3 {print $1 "  " $3}' "$dsc" |
        (cd "$3" && sha256sum --quiet --check --strict) >/dev/null 2>&1
}

packages=$(list)
missing=()
while read -r package version; do
    complete "$package" "$version" "$SOURCES" || missing+=("$package=$version")
done <<<"$packages"
[ ${#missing[@]} = 0 ] && { echo "the package sources are in $SOURCES"; exit 0; }

[ "$(id -u)" = 0 ] || { echo "fetch-sources.sh: run as root (apt-get, $CACHE)" >&2; exit 1; }
skip() { echo "fetch-sources.sh: $*; the sources archive will not be written" >&2; exit 0; }
# A deb-src entry derived from the system's own deb entry, as build-qt.sh makes it, so that no
# mirror address is written in this repository.
srclist=/etc/apt/sources.list.d/quorvane-deb-src.sources
if [ ! -f "$srclist" ] && [ ! -f "${srclist%.sources}.list" ]; then
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
        sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources > "$srclist"
    else
        sed -n 's/^deb /deb-src /p' /etc/apt/sources.list > "${srclist%.sources}.list"
    fi
fi
for want in "${missing[@]}"; do
    # (Read whole, never piped into grep -q: under pipefail its early stop could fail the pipe.)
    grep -qx "Version: ${want#*=}" <<<"$(apt-cache showsrc "${want%%=*}" 2>/dev/null)" && continue
    apt-get update -qq || skip "apt-get update failed"
    break
done
mkdir -p "$SOURCES"
failed=()
for want in "${missing[@]}"; do
    echo "fetching the source package $want into $SOURCES"
    # Into a folder of its own first, so that a cut download never counts as fetched; what did
    # come stays in the cache, so that a later run fetches only what is still missing.
    rm -rf "$SOURCES/.fetch" && mkdir "$SOURCES/.fetch"
    if (cd "$SOURCES/.fetch" && apt-get source -q --download-only "$want") &&
       complete "${want%%=*}" "${want#*=}" "$SOURCES/.fetch"; then
        mv -f "$SOURCES/.fetch"/* "$SOURCES/"
    else
        failed+=("$want")
    fi
done
rm -rf "$SOURCES/.fetch"
[ ${#failed[@]} = 0 ] || skip "could not fetch ${failed[*]}"
echo "the package sources are in $SOURCES"
