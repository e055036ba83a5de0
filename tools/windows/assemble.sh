#!/usr/bin/env bash
# Assemble the unzip-and-run Windows folder from a cross build of the editor:
#
#   tools/windows/assemble.sh BUILD_DIR
#
# BUILD_DIR/Quorvane-VERSION (VERSION: the project's, from CMake) gets quorvane.exe, exactly the
# Qt and MinGW DLLs it and its plugins import, the Windows platform plugin, the Vista style, the
# toolkit's French texts, a qt.conf, a README.txt and, in licenses/, Quorvane's licence, the licence
# texts of all it redistributes, the notices of the code of others inside the DLLs and the recipe
# that built Qt's; everything is stripped, and BUILD_DIR/Quorvane-VERSION.zip holds that one
# folder. A licence text that cannot be found stops the assembly, and so does a DLL that holds a
# known piece of others' code its notices do not name (markers.txt). Then sources-archive.sh writes
# the sources archive beside the zip.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
CACHE=${QUORVANE_WINDOWS_CACHE:-/var/cache/quorvane/windows}
QT=$CACHE/qt
MINGW=x86_64-w64-mingw32

[ $# = 1 ] || { echo "usage: $0 BUILD_DIR" >&2; exit 2; }
BUILD=$(cd "$1" && pwd)
[ -f "$BUILD/quorvane.exe" ] || { echo "no quorvane.exe in $BUILD" >&2; exit 1; }
[ -d "$QT/bin" ] || { echo "no Qt for Windows in $QT: run tools/windows/build-qt.sh" >&2; exit 1; }
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$BUILD/CMakeCache.txt")
[ -n "$version" ] || { echo "no project version in $BUILD/CMakeCache.txt" >&2; exit 1; }
OUT=$BUILD/Quorvane-$version

# Where the DLLs come from: Qt's, then the compiler's runtime (libstdc++,
# libgcc_s, winpthread), asked of the compiler so its version is not hard-coded.
search=("$QT/bin")
for dll in libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll; do
    search+=("$(dirname "$("$MINGW-g++-posix" -print-file-name="$dll")")")
done

rm -rf "$OUT"
mkdir -p "$OUT/platforms" "$OUT/styles" "$OUT/translations"
cp "$BUILD/quorvane.exe" "$OUT/"
# Plugins are loaded at run time, so no import table names them.
cp "$QT/plugins/platforms/qwindows.dll" "$OUT/platforms/"
if [ -f "$QT/plugins/styles/qwindowsvistastyle.dll" ]; then
    cp "$QT/plugins/styles/qwindowsvistastyle.dll" "$OUT/styles/"
fi

# Copy each DLL that some file in OUT imports and that we ship, until none is
# missing. DLLs found nowhere in $search are Windows' own (KERNEL32, USER32...).
imports() { "$MINGW-objdump" -p "$1" | sed -n 's/^[[:space:]]*DLL Name: //p'; }
queue=("$OUT"/quorvane.exe "$OUT"/platforms/*.dll "$OUT"/styles/*.dll)
while [ ${#queue[@]} -gt 0 ]; do
    file=${queue[0]}; queue=("${queue[@]:1}")
    for dll in $(imports "$file"); do
        [ -f "$OUT/$dll" ] && continue
        for dir in "${search[@]}"; do
            if [ -f "$dir/$dll" ]; then
                cp "$dir/$dll" "$OUT/"
                queue+=("$OUT/$dll")
                break
            fi
        done
    done
done

# The toolkit's own French texts (buttons of standard dialogs), from Debian's
# qt6-translations-l10n; the editor loads them from QLibraryInfo's
# TranslationsPath, which qt.conf points at translations/ below the exe.
cp /usr/share/qt6/translations/qtbase_fr.qm "$OUT/translations/"
cat > "$OUT/qt.conf" <<'EOF'
[Paths]
Prefix = .
Plugins = .
Translations = translations
EOF

# Debug symbols are more than half of the size; Windows users cannot use them.
find "$OUT" -name '*.exe' -o -name '*.dll' | xargs "$MINGW-strip" --strip-unneeded

stop() { echo "assemble.sh: $*" >&2; exit 1; }
# Texts for Notepad: Windows' line ends, the last line ended too (a text without a final line end
# would end in a bare CR), and a byte-order mark, without which Notepad before Windows 10 (1903)
# reads UTF-8 as the ANSI code page. An empty text stops the assembly.
windows_text() {
    [ -s "$1" ] || stop "empty: $1"
    { printf '\xef\xbb\xbf'; sed -e '$a\' "$1" | sed 's/\r*$/\r/'; } > "$2"
}
# "package version (source package version)", as dpkg knows it.
described() { dpkg-query -W -f='${Package} ${Version} (source ${source:Package} ${source:Version})' "$1"; }

# The licences of what the folder redistributes, every text from the Debian package the files came
# from: Qt (built from Debian's qt6-base source, whose copyright file also covers the third-party
# code inside Qt's DLLs), the GCC runtime (with the GCC Runtime Library Exception), the MinGW-w64
# runtime and winpthreads; then each licence those files refer to in /usr/share/common-licenses,
# named after the text it is (GPL is GPL-3), and LGPL-3 and GPL-3, under which Qt is used.
qt_source=$(cut -d' ' -f2 "$QT/quorvane-stamp")         # the stamp: "qt6-base VERSION recipe HASH"
mkdir "$OUT/licenses"
copyrights=()
for entry in Qt:qt6-base-dev Qt-translations:qt6-translations-l10n \
             GCC-runtime:gcc-mingw-w64-x86-64-posix-runtime mingw-w64:mingw-w64-x86-64-dev; do
    copyright=/usr/share/doc/${entry#*:}/copyright
    [ -s "$copyright" ] || { echo "no licence text: $copyright is missing" >&2; exit 1; }
    windows_text "$copyright" "$OUT/licenses/${entry%%:*}.txt"
    copyrights+=("$copyright")
done
# Apache-2.0 and LGPL-2.1: the terms of the code of others inside the GCC runtime's DLLs.
for text in $({ grep -ho '/usr/share/common-licenses/[A-Za-z0-9.+-]*[A-Za-z0-9+]' "${copyrights[@]}"
                printf '/usr/share/common-licenses/%s\n' LGPL-3 GPL-3 Apache-2.0 LGPL-2.1; } | sort -u); do
    [ -s "$text" ] || { echo "no licence text: $text is missing" >&2; exit 1; }
    windows_text "$text" "$OUT/licenses/$(basename "$(readlink -f "$text")").txt"
done

# Quorvane's own licence, and the code of others compiled into the GCC runtime's DLLs, with its terms.
windows_text "$here/../../LICENSE" "$OUT/licenses/Quorvane.txt"
windows_text "$here/runtime-components.txt" "$OUT/licenses/GCC-runtime-components.txt"

# The third-party code inside Qt's DLLs, from Qt's own records of it (kept by build-qt.sh), for the
# files shipped: qt-attribution.txt says which records each file holds.
[ -d "$QT/attribution" ] || stop "no Qt attribution records in $QT: run tools/windows/build-qt.sh"
qt_files=$(cd "$OUT" && find . -name 'Qt6*.dll' -o -path './platforms/*.dll' -o -path './styles/*.dll' |
           sed 's|^\./||; s|/|\\|g' | sort)
python3 "$here/qt-notices.py" "$QT/attribution" "$here/qt-attribution.txt" \
    "$BUILD/qt-third-party.tmp" "$BUILD/qt-held.tmp" $qt_files
windows_text "$BUILD/qt-third-party.tmp" "$OUT/licenses/Qt-third-party.txt"

# The recipe of Qt's DLLs travels with them, since the LGPL lets their user rebuild them: this
# build-qt.sh, if it is the recipe the stamp of the Qt in the cache names, with the toolchain
# file that build used.
[ "$(bash "$here/build-qt.sh" --stamp)" = "$(cat "$QT/quorvane-stamp")" ] ||
    stop "the Qt in $QT was built by another recipe than $here/build-qt.sh: run it"
cmp -s "$CACHE/mingw-w64.cmake" "$here/mingw-w64.cmake" || stop "the toolchain file changed"
cp "$here/build-qt.sh" "$here/keep-attribution.py" "$CACHE/mingw-w64.cmake" "$OUT/licenses/"
# The source commit, from git; a change not yet committed is said.
commit=$(git -C "$here" rev-parse HEAD) || stop "no git checkout to name the source commit"
git -C "$here" diff --quiet HEAD -- || commit="$commit, with changes not yet committed"
# The source packages of what the folder ships, "PACKAGE VERSION" a line: qt6-base, qt6-translations,
# gcc-mingw-w64, the GCC source it builds from (its Built-Using), mingw-w64.
sources=$(bash "$here/fetch-sources.sh" --list) || stop "the source packages cannot be named"
version_of() { awk -v p="$1" '$1 == p {print $2}' <<<"$sources"; }
gcc_source=$(awk '$1 ~ /^gcc-[0-9]+$/ {print $1}' <<<"$sources")
gcc_source_version=$(version_of "$gcc_source")
[ "$(version_of qt6-base)" = "$qt_source" ] ||
    stop "the Qt in $QT was built from qt6-base $qt_source, qt6-base-dev is $(version_of qt6-base)"
# Qt's Debian patches, as build-qt.sh kept their list (debian/patches/series, comments left out).
series=$QT/attribution/debian/patches/series
[ -s "$series" ] || stop "no list of Qt's Debian patches in $QT: run tools/windows/build-qt.sh"
sed -e 's/#.*//' -e 's/[[:space:]]*$//' -e '/^$/d' -e 's/^/        /' "$series" > "$BUILD/qt-patches.tmp"
awk '{print "        " $1 " " $2 ", in debian\\" $1 "\\"}' <<<"$sources" > "$BUILD/sources.tmp"

fill() {    # fill TEMPLATE OUTPUT: the template with this folder's versions
    sed -e "/@QT_THIRD_PARTY@/{r $BUILD/qt-held.tmp" -e 'd}' \
        -e "/@QT_PATCHES@/{r $BUILD/qt-patches.tmp" -e 'd}' \
        -e "/@SOURCE_PACKAGES@/{r $BUILD/sources.tmp" -e 'd}' \
        -e "s|@QT_PATCH_COUNT@|$(wc -l < "$BUILD/qt-patches.tmp")|g" \
        -e "s|@QT_UPSTREAM@|${qt_source%%[+-]*}|g" \
        -e "s|@GCC_MINGW_SOURCE@|$(version_of gcc-mingw-w64)|g" \
        -e "s|@MINGW_SOURCE@|$(version_of mingw-w64)|g" \
        -e "s|@QT_TRANSLATIONS_SOURCE@|$(version_of qt6-translations)|g" \
        -e "s|@VERSION@|$version|g" -e "s|@QT_SOURCE@|$qt_source|g" -e "s|@COMMIT@|$commit|g" \
        -e "s|@GCC_SOURCE_PACKAGE@|$gcc_source|g" \
        -e "s|@GCC_SOURCE_VERSION@|$gcc_source_version|g" \
        -e "s|@QT_PACKAGE@|$(described qt6-base-dev)|g" \
        -e "s|@QT_TRANSLATIONS_PACKAGE@|$(described qt6-translations-l10n)|g" \
        -e "s|@GCC_PACKAGE@|$(described gcc-mingw-w64-x86-64-posix-runtime)|g" \
        -e "s|@MINGW_PACKAGE@|$(described mingw-w64-x86-64-dev)|g" "$1" > "$BUILD/filled.tmp"
    windows_text "$BUILD/filled.tmp" "$2" && rm "$BUILD/filled.tmp"
}
fill "$here/README.txt" "$OUT/README.txt"
fill "$here/licenses-README.txt" "$OUT/licenses/README.txt"
rm "$BUILD/qt-third-party.tmp" "$BUILD/qt-held.tmp" "$BUILD/qt-patches.tmp" "$BUILD/sources.tmp"

# No DLL may hold a known piece of others' code that the notices do not name for it.
python3 "$here/check-markers.py" "$here/markers.txt" "$OUT"

# The zip holds the one folder, so that Extract All makes it and nothing beside it.
(cd "$BUILD" && rm -f "$(basename "$OUT").zip" &&
 python3 -m zipfile -c "$(basename "$OUT").zip" "$(basename "$OUT")")
echo "assembled $OUT ($(du -sh "$OUT" | cut -f1)) and $OUT.zip ($(du -sh "$OUT.zip" | cut -f1))"
