#!/usr/bin/env bash
# Checks the folder to unzip that assemble.sh made:
#
#   tools/windows/test-folder.sh BUILD_DIR
#
# The zip holds one folder, Quorvane-VERSION/, and only it; beside the program, a read-me that
# says to unzip first, what system it needs and how to get past the warning an unsigned program
# gets; in licenses/ Quorvane's own licence, the notices of Qt, of the third-party code inside Qt's
# DLLs, of the GCC runtime and the code of others inside it, of the MinGW-w64 runtime and the
# licences they refer to, none empty, every text with Windows' line ends and a byte-order mark, a
# read-me naming every DLL the folder ships and every licence text (each one there), the source
# commit, the source packages and the recipe of Qt's DLLs; no DLL holding a known piece of others'
# code its notices do not name; in the program, its manifest and copyright. Beside the zip, the
# sources archive with every source package the read-me names, whole, and Quorvane's source (or a
# note of why it could not be written). Then the folder, unzipped into
# a path with spaces and accents, is started as a user starts it: under wine, in a new prefix,
# with no WINEPATH, with its own platform plugin; it must load every DLL from the folder, with no
# loader error, show its window and keep running.
set -euo pipefail
trap 'echo "FAILED at line $LINENO: $BASH_COMMAND" >&2' ERR

build=$(cd "$1" && pwd)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
top=Quorvane-$version
zip=$build/$top.zip
work=$(mktemp -d)
export PATH=/usr/lib/wine:$PATH     # Debian's wine64 package keeps wine64 out of PATH
wine_env=(env -i HOME="$HOME" PATH="$PATH" LANG=C.UTF-8 WINEPREFIX="$work/prefix" WINEARCH=win64
          WINEDLLOVERRIDES="mscoree,mshtml=" WINEDEBUG=-all)
trap '{ [ -d "$work/prefix" ] && "${wine_env[@]}" wineserver -k; } 2>/dev/null || true; rm -rf "$work"' EXIT

# Every entry lies in the one top folder.
python3 - "$zip" "$top" <<'PY'
import sys, zipfile
names = zipfile.ZipFile(sys.argv[1]).namelist()
tops = {name.split('/')[0] for name in names}
assert tops == {sys.argv[2]}, f"top-level entries: {sorted(tops)}"
PY
unzipped="$work/Téléchargements de Zoé"
python3 -m zipfile -e "$zip" "$unzipped"
folder=$unzipped/$top

test -s "$folder/quorvane.exe"
for text in README.txt licenses/README.txt licenses/Quorvane.txt licenses/Qt.txt \
            licenses/GCC-runtime.txt licenses/GCC-runtime-components.txt licenses/mingw-w64.txt \
            licenses/LGPL-3.txt licenses/GPL-3.txt; do
    test -s "$folder/$text"
done
for file in "$folder"/licenses/*; do test -s "$file"; done
readme=$folder/README.txt
for words in "Unzip first" "Extract All" "Windows protected your PC" "More info" "Run anyway" \
             "https://"; do
    grep -q "$words" "$readme"
done
grep -q "Quorvane $version" "$readme"
# Whether a text, read as one line of words (the read-mes wrap their sentences), holds a pattern:
#   says FILE [GREP OPTIONS] PATTERN
# The text is read whole before grep sees it, never piped: grep -q stops at the first match, the
# writer can die of SIGPIPE still writing, and pipefail takes that for a failed check.
words() { tr -s '\r\n ' '   ' < "$1"; }
says() {
    grep -q "${@:2}" <<<"$(words "$1")" || { echo "FAILED: ${1##*/} does not say: ${*: -1}" >&2; false; }
}
says "$readme" "64-bit Windows 10 version 1809 or later, or Windows 11"
# The project's own licence: MIT, the Quorvane developers'; the read-me says so.
grep -q "MIT License" <<<"$(head -n 1 "$folder/licenses/Quorvane.txt")"
grep -Eq "^Copyright \(c\) [0-9]{4}(-[0-9]{4})? the Quorvane developers" "$folder/licenses/Quorvane.txt"
grep -q "Permission is hereby granted, free of charge" "$folder/licenses/Quorvane.txt"
says "$readme" -F 'MIT licence (licenses\Quorvane.txt)'
grep -q "GNU LESSER GENERAL PUBLIC LICENSE" "$folder/licenses/LGPL-3.txt"
grep -q "Version 3" "$folder/licenses/GPL-3.txt"
grep -q "GCC RUNTIME LIBRARY EXCEPTION" "$folder/licenses/GCC-runtime.txt"
grep -q "winpthreads" "$folder/licenses/mingw-w64.txt"
for piece in fast_float Ryu soft-fp; do
    grep -qx "$piece" <<<"$(tr -d '\r' < "$folder/licenses/GCC-runtime-components.txt")"
done
grep -q "src/3rdparty/freetype" "$folder/licenses/Qt.txt"
grep -q "Qt Company GPL Exception" "$folder/licenses/Qt-translations.txt"
# Each library and text shipped is one whose licence the read-me gives, and it says where Qt's
# source is.
for file in $(cd "$folder" && find . -name '*.dll' -printf '%f\n' -o -name '*.qm' -printf '%f\n'); do
    grep -q "$file" "$folder/licenses/README.txt" || { echo "no notice for $file" >&2; false; }
done
# ... and each library the read-me names is shipped: the platform plugin and the style too, which
# no import table names and Qt does without (the style silently) when they are missing.
for file in $(grep -Eo '[A-Za-z0-9_+\\-]+\.dll' "$folder/licenses/README.txt" | sort -u); do
    test -f "$folder/${file//\\//}" || { echo "$file is missing" >&2; false; }
done
grep -q "qt6-base source package, version [0-9]" "$folder/licenses/README.txt"
# (Each "grep && false": set -e does not stop at a command negated with "!".)
grep "@[A-Z_]*@" "$readme" "$folder/licenses/README.txt" && false
# Each text the licences' read-me names is in the folder, and each text in licenses/ is named there
# with what it is for.
notes=$folder/licenses/README.txt
for text in $(grep -Eo '[A-Za-z0-9_.+-]+\.txt' "$notes" | sort -u); do
    [ -f "$folder/licenses/$text" ] || [ -f "$folder/$text" ] ||
        { echo "licenses/README.txt names $text, which is missing" >&2; false; }
done
for text in $(cd "$folder/licenses" && ls); do
    grep -q "^ *$text: " "$notes" || { echo "licenses/README.txt does not say what $text is for" >&2; false; }
done
# The GCC runtime's source is both gcc-mingw-w64's, which builds it with its own patches, and GCC's.
says "$notes" -E "Debian's gcc-mingw-w64 source package, version [0-9][^ ]*, which builds"
says "$notes" -E "Debian's gcc-[0-9]+ source package, version [0-9]"
# What a replacement Qt build must be, and that the program's terms allow what the LGPL asks.
for phrase in "GCC 12 compiler with POSIX threads" "SEH exceptions" "reverse engineering it for debugging"; do
    says "$notes" "$phrase" || { echo "licenses/README.txt does not say: $phrase" >&2; false; }
done
# Qt's Debian patches: as many named as the read-me counts, each a file name.
patches=$(tr -d '\r' < "$notes" | sed -n '/patches, applied in$/,/^    The recipe/p' |
          grep -E '^        [^ ]+\.(diff|patch)$' | tr -d ' ')
[ "$(words "$notes" | grep -Eo "The [0-9]+ patches" | cut -d' ' -f2)" = "$(wc -l <<<"$patches")" ]
# No DLL holds a known piece of others' code that the notices do not name for it.
python3 "$(dirname "$0")/check-markers.py" "$(dirname "$0")/markers.txt" "$folder" >/dev/null
# The sources archive the read-mes name: each source package the licences' read-me lists, whole (its
# .dsc and every file the .dsc lists, with the checksum it gives), Qt's patches those the read-me
# names, and Quorvane's own source with its licence. A machine that could not fetch the packages
# writes a note instead, and the archive is skipped, said so.
says "$readme" "Quorvane-$version-sources.zip"
says "$notes" "Quorvane-$version-sources.zip"
sources_zip=$build/Quorvane-$version-sources.zip
if [ ! -f "$sources_zip" ] && [ -f "${sources_zip%.zip}.skipped" ]; then
    echo "SKIPPED the sources archive, not written here: $(cat "${sources_zip%.zip}.skipped")"
else
    python3 - "$sources_zip" "Quorvane-$version-sources" "$notes" "$patches" <<'PY'
import hashlib, io, re, sys, tarfile, zipfile
archive, top, notes, patches = sys.argv[1:]
archive = zipfile.ZipFile(archive)
names = set(archive.namelist())
listed = re.findall(r"^        (\S+) (\S+), in debian\\(\S+)\\\r?$",
                    open(notes, encoding="utf-8-sig").read(), re.MULTILINE)
assert {p for p, _, _ in listed} >= {"qt6-base", "gcc-mingw-w64", "mingw-w64"}, f"listed: {listed}"
for package, version, folder in listed:
    dsc = f"{top}/debian/{folder}/{package}_{version.split(':')[-1]}.dsc"
    assert dsc in names, f"the sources archive lacks {dsc}"
    text = archive.read(dsc).decode("utf-8")
    files = re.findall(r"^ ([0-9a-f]{64}) \d+ (\S+)$", text.split("Checksums-Sha256:")[1], re.MULTILINE)
    assert files, f"{dsc} lists no file"
    for digest, name in files:
        path = f"{top}/debian/{folder}/{name}"
        assert path in names, f"the sources archive lacks {path}"
        with archive.open(path) as data:
            hashed = hashlib.sha256()
            for block in iter(lambda: data.read(1 << 20), b""):
                hashed.update(block)
        assert hashed.hexdigest() == digest, f"{path} is not the file its .dsc names"
    if package == "qt6-base":
        debian = next(n for _, n in files if n.endswith(".debian.tar.xz"))
        with tarfile.open(fileobj=io.BytesIO(archive.read(f"{top}/debian/{folder}/{debian}"))) as tar:
            series = tar.extractfile("debian/patches/series").read().decode()
        applied = [p for p in (line.split("#")[0].strip() for line in series.splitlines()) if p]
        assert applied == patches.split(), \
            f"Qt's patches: the read-me names {patches.split()}, the package applies {applied}"
licence = archive.read(f"{top}/quorvane/LICENSE").decode("utf-8")
assert licence.startswith("MIT License") and "the Quorvane developers" in licence, "no MIT LICENSE"
assert f"{top}/quorvane/tools/windows/build-qt.sh" in names and f"{top}/README.txt" in names
PY
fi
# The recipe of Qt's DLLs, and the source commit named in both read-mes.
for file in build-qt.sh keep-attribution.py mingw-w64.cmake; do test -s "$folder/licenses/$file"; done
for text in "$readme" "$folder/licenses/README.txt"; do
    says "$text" -E "commit [0-9a-f]{40}"
done
# The third-party code inside Qt's DLLs: at least these pieces, each named in the notices with its
# licence and said to be in its DLL, and each shipped Qt file given its pieces in the read-me.
third=$folder/licenses/Qt-third-party.txt
for piece in "Qt6Core.dll:BLAKE2" "Qt6Core.dll:SipHash" "Qt6Core.dll:PCRE2" \
             "Qt6Core.dll:Data Compression Library (zlib)" "Qt6Core.dll:Unicode Character Database" \
             "Qt6Core.dll:TinyCBOR" "Qt6Core.dll:Efficient Binary-Decimal" \
             "Qt6Gui.dll:Adobe Glyph List" "Qt6Gui.dll:Smooth Scaling Algorithm" \
             "Qt6Gui.dll:X Server helper" "Qt6Gui.dll:HarfBuzz" "Qt6Gui.dll:Freetype 2" \
             "Qt6Gui.dll:LibPNG" "Qt6Gui.dll:MD4C"; do
    grep -q "^In: .*${piece%%:*}" <<<"$(grep -A1 "^${piece#*:}" "$third")" ||
        { echo "no notice of ${piece#*:} in ${piece%%:*}" >&2; false; }
done
for file in $(cd "$folder" && find . -name 'Qt6*.dll' -o -path './*/q*.dll' | sed 's|^\./||; s|/|\\\\|g'); do
    grep -q "^    $file: " "$folder/licenses/README.txt" || { echo "no pieces for $file" >&2; false; }
done
# Texts for Notepad: a byte-order mark, every line ended by CR LF, no CR alone.
python3 - "$folder" <<'PY'
import pathlib, sys
for text in pathlib.Path(sys.argv[1]).rglob("*.txt"):
    data = text.read_bytes()
    assert data.startswith(b"\xef\xbb\xbf"), f"{text.name}: no byte-order mark"
    assert data.endswith(b"\r\n") and data.count(b"\r") == data.count(b"\r\n") == data.count(b"\n"), \
        f"{text.name}: a line end that is not CR LF"
PY

# The manifest: the one resource of type 24 (RT_MANIFEST), numbered 1, for long paths and for
# Windows 10 and 11, as the program's resources read back from the shipped file.
x86_64-w64-mingw32-windres -i "$folder/quorvane.exe" -O res -o "$work/quorvane.res"
python3 - "$work/quorvane.res" <<'PY'
import struct, sys
data = open(sys.argv[1], "rb").read()
def ident(at):  # a number (0xFFFF, then the number) or a name, and where the next field starts
    if struct.unpack_from("<H", data, at)[0] == 0xFFFF:
        return struct.unpack_from("<H", data, at + 2)[0], at + 4
    end = at
    while struct.unpack_from("<H", data, end)[0]:
        end += 2
    return data[at:end].decode("utf-16-le"), end + 2
manifests, at = [], 0
while at < len(data):
    size, header = struct.unpack_from("<II", data, at)
    kind, after = ident(at + 8)
    name, _ = ident(after)
    if kind == 24:
        manifests.append((name, data[at + header:at + header + size].decode("utf-8")))
    at = (at + header + size + 3) & ~3
assert [name for name, _ in manifests] == [1], f"manifests: {[n for n, _ in manifests]}"
# The version information's copyright, the licence's (a string of the VERSIONINFO, in UTF-16).
import re
assert re.search(r"LegalCopyright\0Copyright \(c\) \d{4}(-\d{4})? the Quorvane developers\. MIT License\.\0",
                 data.decode("utf-16-le", errors="replace")), \
    "no LegalCopyright of the Quorvane developers under the MIT licence"
# Read as Windows reads it: well-formed XML, each setting under its own namespace, or it is
# ignored (a wrong one) or the program does not start (a malformed one).
import xml.etree.ElementTree as xml
root = xml.fromstring(manifests[0][1].encode("utf-8"))
v1, v3 = "{urn:schemas-microsoft-com:asm.v1}", "{urn:schemas-microsoft-com:asm.v3}"
s2005, s2016 = ("{http://schemas.microsoft.com/SMI/%s/WindowsSettings}" % y for y in ("2005", "2016"))
settings = f"{v3}application/{v3}windowsSettings/"
def value(path):
    found = root.find(path)
    assert found is not None, f"the manifest lacks {path}"
    return found.text or found.get("level") or found.get("name")
assert value(f"{settings}{s2016}longPathAware") == "true"
assert value(f"{settings}{s2016}dpiAwareness") == "PerMonitorV2"
assert value(f"{settings}{s2005}dpiAware") == "true/pm"
assert value(f"{v3}trustInfo/{v3}security/{v3}requestedPrivileges/{v3}requestedExecutionLevel") == "asInvoker"
assert value(f"{v1}dependency/{v1}dependentAssembly/{v1}assemblyIdentity") == "Microsoft.Windows.Common-Controls"
systems = {e.get("Id") for e in root.iter("{urn:schemas-microsoft-com:compatibility.v1}supportedOS")}
assert systems == {"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"}, f"not only Windows 10 and 11: {systems}"
PY

# Started as a user starts it. A new prefix with wine's null graphics driver (no display here):
# the program runs with its own platform plugin, whose windows exist but show nothing.
"${wine_env[@]}" wine64 wineboot --init >/dev/null 2>&1
"${wine_env[@]}" wine64 reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
"${wine_env[@]}" wineserver -w     # the desktop's driver is chosen when it starts: after this
# A Windows program of our own waits up to a minute for the program's window, by its title.
cat > "$work/title.c" <<'C'
#include <string.h>
#include <windows.h>
// A top-level window of the toolkit's own (its class names start with "Qt"), not a message box
// with the same title, such as the one Qt shows when it finds no platform plugin.
static BOOL CALLBACK Seek(HWND window, LPARAM title) {
    wchar_t text[64] = L"", kind[64] = L"";
    GetWindowTextW(window, text, 64);
    GetClassNameW(window, kind, 64);
    return !(wcscmp(text, (const wchar_t*)title) == 0 && wcsncmp(kind, L"Qt", 2) == 0);
}
int wmain(int argc, wchar_t** argv) {
    for (int tenths = 0; argc == 2 && tenths < 600; ++tenths, Sleep(100))
        if (!EnumWindows(Seek, (LPARAM)argv[1]))
            return 0;
    return 1;
}
C
x86_64-w64-mingw32-gcc -municode -O2 -o "$work/title.exe" "$work/title.c"
# Started from elsewhere, by its whole path, as Explorer does: only the folder is searched for DLLs.
(cd "$work" && "${wine_env[@]}" WINEDEBUG=+loaddll wine64 "$folder/quorvane.exe" >"$work/start.log" 2>&1) &
started=$!
"${wine_env[@]}" wine64 "$work/title.exe" Quorvane || { echo "no window titled Quorvane" >&2; false; }
sleep 2
kill -0 $started || { echo "quorvane.exe ended early" >&2; cat "$work/start.log" >&2; false; }
"${wine_env[@]}" wineserver -k
wait $started || true
grep -a "err:module" "$work/start.log" >&2 && false
# Every DLL of the folder was loaded, from the folder. The trace writes a name as a C string:
# a backslash doubled, a character past ASCII as a backslash and four hexadecimal digits.
python3 - "$folder" "$work/start.log" <<'PY'
import pathlib, re, sys
folder = pathlib.Path(sys.argv[1])
trace = open(sys.argv[2], encoding="utf-8", errors="replace").read()
unescape = lambda name: re.sub(r"\\(\\|[0-9a-f]{4})",
                              lambda m: "\\" if m[1] == "\\" else chr(int(m[1], 16)), name)
loaded = {unescape(name).lower() for name in re.findall(r'Loaded L"([^"]+)" at \S+: native', trace)}
for dll in sorted(folder.rglob("*.dll")):
    assert "z:" + str(dll).replace("/", "\\").lower() in loaded, \
        f"{dll.relative_to(folder)} was not loaded from the folder"
PY
echo "PASSED: $top.zip holds the one folder, its read-me, the licences, and the program its manifest;" \
     "each DLL's known pieces are declared; the sources archive, unless skipped, holds each package named;" \
     "unzipped, the folder starts under wine and shows its window"
