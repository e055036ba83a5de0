#!/usr/bin/env bash
# Checks the folder to unzip that assemble.sh made:
#
#   tools/windows/test-folder.sh BUILD_DIR
#
# The zip holds one folder, Quorvane-VERSION/, and only it; beside the program, a read-me that
# says to unzip first and how to get past the warning an unsigned program gets; in licenses/ the
# notices of Qt, the GCC runtime and the MinGW-w64 runtime and the licences they refer to, none
# empty, and a read-me naming every DLL the folder ships; in the program, its manifest.
set -euo pipefail
trap 'echo "FAILED at line $LINENO: $BASH_COMMAND" >&2' ERR

build=$(cd "$1" && pwd)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
top=Quorvane-$version
zip=$build/$top.zip
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Every entry lies in the one top folder.
python3 - "$zip" "$top" <<'PY'
import sys, zipfile
names = zipfile.ZipFile(sys.argv[1]).namelist()
tops = {name.split('/')[0] for name in names}
assert tops == {sys.argv[2]}, f"top-level entries: {sorted(tops)}"
PY
python3 -m zipfile -e "$zip" "$work"
folder=$work/$top

test -s "$folder/quorvane.exe"
for text in README.txt licenses/README.txt licenses/Qt.txt licenses/GCC-runtime.txt \
            licenses/mingw-w64.txt licenses/LGPL-3.txt licenses/GPL-3.txt; do
    test -s "$folder/$text"
done
for file in "$folder"/licenses/*; do test -s "$file"; done
readme=$folder/README.txt
for words in "Unzip first" "Extract All" "Windows protected your PC" "More info" "Run anyway" \
             "https://"; do
    grep -q "$words" "$readme"
done
grep -q "Quorvane $version" "$readme"
grep -q "GNU LESSER GENERAL PUBLIC LICENSE" "$folder/licenses/LGPL-3.txt"
grep -q "Version 3" "$folder/licenses/GPL-3.txt"
grep -q "GCC RUNTIME LIBRARY EXCEPTION" "$folder/licenses/GCC-runtime.txt"
grep -q "winpthreads" "$folder/licenses/mingw-w64.txt"
grep -q "src/3rdparty/freetype" "$folder/licenses/Qt.txt"
grep -q "Qt Company GPL Exception" "$folder/licenses/Qt-translations.txt"
# Each library and text shipped is one whose licence the read-me gives, and it says where Qt's
# source is.
for file in $(cd "$folder" && find . -name '*.dll' -printf '%f\n' -o -name '*.qm' -printf '%f\n'); do
    grep -q "$file" "$folder/licenses/README.txt" || { echo "no notice for $file" >&2; false; }
done
grep -q "qt6-base source package, version [0-9]" "$folder/licenses/README.txt"
! grep -q "@[A-Z_]*@" "$readme" "$folder/licenses/README.txt"

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
assert "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}" in systems, "Windows 10 and 11 are not listed"
PY
echo "PASSED: $top.zip holds the one folder, its read-me, the licences, and the program its manifest"
