#!/usr/bin/env bash
# Assemble the unzip-and-run Windows folder from a cross build of the editor:
#
#   tools/windows/assemble.sh BUILD_DIR
#
# BUILD_DIR/Quorvane-VERSION (VERSION: the project's, from CMake) gets quorvane.exe, exactly the
# Qt and MinGW DLLs it and its plugins import, the Windows platform plugin, the Vista style, the
# toolkit's French texts, a qt.conf, a README.txt and, in licenses/, the licence texts of all it
# redistributes; everything is stripped, and BUILD_DIR/Quorvane-VERSION.zip holds that one
# folder. A licence text that cannot be found stops the assembly.
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

rm -rf "$OUT" "$BUILD/quorvane-windows" "$BUILD/quorvane-windows.zip" # and the folder's old name
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

# Texts for Notepad, with Windows' line ends; one that comes out empty stops the assembly.
windows_text() { sed 's/\r*$/\r/' "$1" > "$2"; [ -s "$2" ] || { echo "empty: $1" >&2; exit 1; }; }
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
for text in $({ grep -ho '/usr/share/common-licenses/[A-Za-z0-9.+-]*[A-Za-z0-9+]' "${copyrights[@]}"
                printf '/usr/share/common-licenses/%s\n' LGPL-3 GPL-3; } | sort -u); do
    [ -s "$text" ] || { echo "no licence text: $text is missing" >&2; exit 1; }
    windows_text "$text" "$OUT/licenses/$(basename "$(readlink -f "$text")").txt"
done
fill() {    # fill TEMPLATE OUTPUT: the template with this folder's versions
    sed -e "s|@VERSION@|$version|g" -e "s|@QT_SOURCE@|$qt_source|g" \
        -e "s|@QT_PACKAGE@|$(described qt6-base-dev)|g" \
        -e "s|@QT_TRANSLATIONS_PACKAGE@|$(described qt6-translations-l10n)|g" \
        -e "s|@GCC_PACKAGE@|$(described gcc-mingw-w64-x86-64-posix-runtime)|g" \
        -e "s|@MINGW_PACKAGE@|$(described mingw-w64-x86-64-dev)|g" "$1" > "$BUILD/filled.tmp"
    windows_text "$BUILD/filled.tmp" "$2" && rm "$BUILD/filled.tmp"
}
fill "$here/README.txt" "$OUT/README.txt"
fill "$here/licenses-README.txt" "$OUT/licenses/README.txt"

# The zip holds the one folder, so that Extract All makes it and nothing beside it.
(cd "$BUILD" && rm -f "$(basename "$OUT").zip" &&
 python3 -m zipfile -c "$(basename "$OUT").zip" "$(basename "$OUT")")
echo "assembled $OUT ($(du -sh "$OUT" | cut -f1)) and $OUT.zip ($(du -sh "$OUT.zip" | cut -f1))"
