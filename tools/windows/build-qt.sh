#!/usr/bin/env bash
# Cross-build Qt's base module (Core, Gui, Widgets, Test) for 64-bit Windows
# with Debian's mingw-w64, once per machine, into a cache outside the repo.
# A stamp (Debian source version + hash of the recipe) lets later runs reuse
# the install in a second; change an option below and it is rebuilt.
#
#   sudo tools/windows/build-qt.sh         # needs root: apt-get, /var/cache
#
# Afterwards: -DCMAKE_TOOLCHAIN_FILE=$CACHE/qt/lib/cmake/Qt6/qt.toolchain.cmake
#
#   tools/windows/build-qt.sh --stamp      # only print the stamp this recipe makes
set -euo pipefail
stamp_only=false
[ "${1:-}" = --stamp ] && stamp_only=true

here=$(cd "$(dirname "$0")" && pwd)
CACHE=${QUORVANE_WINDOWS_CACHE:-/var/cache/quorvane/windows}
LOG=$CACHE/build-qt.log
JOBS=$(nproc)

if ! $stamp_only; then
    [ "$(id -u)" = 0 ] || { echo "build-qt.sh: run as root (apt-get, $CACHE)" >&2; exit 1; }
    mkdir -p "$CACHE"

    # --- tools from Debian: install only what is missing ------------------------
    # qt6-base-dev(-tools): the host moc/rcc/uic and CMake packages a cross Qt
    # needs (QT_HOST_PATH); they must be the same Qt version as the source.
    # wine64, the fonts, the translations, python3 and the host's C compiler: for
    # run-tests.sh (and its fault planter), assemble.sh and the icon step, so that
    # one script prepares the machine.
    packages=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix
              binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev
              cmake ninja-build dpkg-dev qt6-base-dev qt6-base-dev-tools
              qt6-translations-l10n wine64 fonts-dejavu-core python3 gcc libc6-dev)
    missing=()
    for p in "${packages[@]}"; do
        grep -q 'ok installed' <<<"$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null)" || missing+=("$p")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        echo "installing: ${missing[*]}"
        apt-get update -qq
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
    fi
fi

# --- the recipe -------------------------------------------------------------
QT_VERSION=$(dpkg-query -W -f='${Version}' qt6-base-dev)   # e.g. 6.4.2+dfsg-10
UPSTREAM=${QT_VERSION%%+*}; UPSTREAM=${UPSTREAM%%-*}       # 6.4.2
PREFIX=$CACHE/qt-$UPSTREAM-mingw64
STAMP=$PREFIX/quorvane-stamp

options=(
    -G Ninja
    -DCMAKE_BUILD_TYPE=Release
    -DBUILD_SHARED_LIBS=ON
    -DQT_HOST_PATH=/usr                               # host moc/rcc/uic
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake  # Debian's multiarch dir
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF
    -DINPUT_opengl=no -DFEATURE_vulkan=OFF
    -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF
    -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF
    -DFEATURE_pkg_config=OFF                          # never pick up host .pc files
    # Qt's built-in copy of the freedesktop.org MIME database is GPL-2.0-or-later data; the editor
    # never asks a file's MIME type (its dialog filters by name), so it is left out of Qt6Core.dll.
    -DFEATURE_mimetype_database=OFF
    -DFEATURE_tabletevent=OFF                         # no wintab.h in mingw-w64 nor in Debian's source
    # Qt 6.4.2's qwindows.dll uses the DirectWrite font database whenever
    # directwrite3 is on, but Gui compiles it only with direct2d: require
    # direct2d (mingw-w64 10 has the headers) so configure fails loudly
    # rather than the plugin failing to link. direct2d1_1 only adds the
    # separate qdirect2d platform plugin, which we do not ship.
    -DFEATURE_direct2d=ON -DFEATURE_direct2d1_1=OFF
    # bundled third-party code: nothing of the sort exists for the target
    -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF
    -DFEATURE_system_freetype=OFF -DFEATURE_system_harfbuzz=OFF
    -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF
    -DFEATURE_system_doubleconversion=OFF
)

recipe_hash=$( { printf '%s\n' "${options[@]}"; cat "$here/mingw-w64.cmake"; } |
               sha256sum | cut -c1-16)
want="qt6-base $QT_VERSION recipe $recipe_hash"
if $stamp_only; then echo "$want"; exit 0; fi

# Debian's source of qt6-base, its patches applied, into $SRC (rm'd by the caller when done).
# A deb-src entry is derived from the system's own deb entry, so that no mirror address is
# written in this repository.
SRC=$CACHE/src
srcdir=$SRC/qt6-base-$UPSTREAM+dfsg                # Debian's source name
fetch_source() {
    local srclist=/etc/apt/sources.list.d/quorvane-deb-src.sources
    if [ ! -f "$srclist" ]; then
        if [ -f /etc/apt/sources.list.d/debian.sources ]; then
            sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources > "$srclist"
        else        # older one-line style
            srclist=${srclist%.sources}.list
            sed -n 's/^deb /deb-src /p' /etc/apt/sources.list > "$srclist"
        fi
    fi
    # (Read whole, never piped into grep -q: under pipefail its early stop could fail the pipe.)
    grep -qx "Version: $QT_VERSION" <<<"$(apt-cache showsrc qt6-base 2>/dev/null)" || apt-get update -qq
    rm -rf "$SRC" && mkdir -p "$SRC"
    (cd "$SRC" && apt-get source -q "qt6-base=$QT_VERSION")
}
# Qt's record of the third-party code it builds in (every qt_attribution.json with the licence
# files it names, and LICENSES/), and the list of Debian's patches applied to the source
# (debian/patches/series), kept beside the build for the Windows folder's notices and read-me.
keep_attribution() {
    rm -rf "$PREFIX/attribution.tmp" && mkdir -p "$PREFIX/attribution.tmp/debian/patches"
    python3 "$here/keep-attribution.py" "$srcdir" "$PREFIX/attribution.tmp"
    cp "$srcdir/debian/patches/series" "$PREFIX/attribution.tmp/debian/patches/"
    rm -rf "$PREFIX/attribution" && mv "$PREFIX/attribution.tmp" "$PREFIX/attribution"
}

if [ -f "$STAMP" ] && [ "$(cat "$STAMP")" = "$want" ]; then
    # A cache built before the notices, or the list of patches, were kept.
    if [ ! -f "$PREFIX/attribution/debian/patches/series" ]; then
        echo "fetching Qt's source once for its attribution files and list of patches"
        fetch_source >"$CACHE/fetch-qt-source.log" 2>&1 && keep_attribution && rm -rf "$SRC"
    fi
    echo "Qt for Windows is up to date in $PREFIX"
    exit 0
fi

# From here on everything goes to the log; on failure show its end.
echo "building Qt $QT_VERSION for Windows into $PREFIX (log: $LOG, ~40 min)"
exec 3>&1 4>&2 >"$LOG" 2>&1
trap 'rc=$?; if [ $rc != 0 ]; then echo "build-qt.sh failed ($rc); end of $LOG:" >&4; tail -n 40 "$LOG" >&4; fi' EXIT
set -x

# --- Debian's source (its patches applied by dpkg-source) --------------------
fetch_source

# Qt's build records the toolchain file's path in qt.toolchain.cmake, so build
# with a copy kept in the cache (the repository may move; the cache does not).
cp "$here/mingw-w64.cmake" "$CACHE/mingw-w64.cmake"

# --- configure, build, install ----------------------------------------------
BUILD=$CACHE/build
rm -rf "$BUILD" "$PREFIX"
cmake -S "$srcdir" -B "$BUILD" "${options[@]}" \
      -DCMAKE_TOOLCHAIN_FILE="$CACHE/mingw-w64.cmake" \
      -DCMAKE_INSTALL_PREFIX="$PREFIX"
start=$(date +%s)
cmake --build "$BUILD" --parallel "$JOBS"
cmake --install "$BUILD"
echo "build took $(( $(date +%s) - start )) s"

# Stable path for users; the stamp goes last, so a broken run never counts.
keep_attribution
ln -sfn "$(basename "$PREFIX")" "$CACHE/qt"
rm -rf "$BUILD" "$SRC"                           # ~2 GB we no longer need
echo "$want" > "$STAMP"
set +x
echo "Qt for Windows installed in $PREFIX ($(du -sh "$PREFIX" | cut -f1))" >&3
