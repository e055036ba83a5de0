#!/usr/bin/env bash
# Assemble the unzip-and-run Windows folder from a cross build of the editor:
#
#   tools/windows/assemble.sh BUILD_DIR [OUT_DIR]
#
# OUT_DIR (default BUILD_DIR/quorvane-windows) gets quorvane.exe, exactly the
# Qt and MinGW DLLs it and its plugins import, the Windows platform plugin,
# the Vista style, the toolkit's French texts and a qt.conf; everything is
# stripped, and OUT_DIR.zip is written beside it.
set -euo pipefail

CACHE=${QUORVANE_WINDOWS_CACHE:-/var/cache/quorvane/windows}
QT=$CACHE/qt
MINGW=x86_64-w64-mingw32

[ $# -ge 1 ] || { echo "usage: $0 BUILD_DIR [OUT_DIR]" >&2; exit 2; }
BUILD=$(cd "$1" && pwd)
OUT=${2:-$BUILD/quorvane-windows}
[ -f "$BUILD/quorvane.exe" ] || { echo "no quorvane.exe in $BUILD" >&2; exit 1; }
[ -d "$QT/bin" ] || { echo "no Qt for Windows in $QT: run tools/windows/build-qt.sh" >&2; exit 1; }

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

(cd "$(dirname "$OUT")" && rm -f "$(basename "$OUT").zip" &&
 python3 -m zipfile -c "$(basename "$OUT").zip" "$(basename "$OUT")")
echo "assembled $OUT ($(du -sh "$OUT" | cut -f1)) and $OUT.zip ($(du -sh "$OUT.zip" | cut -f1))"
