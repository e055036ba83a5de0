#!/usr/bin/env bash
# Run Windows Qt Test programs under wine64, without a display:
#
#   tools/windows/run-tests.sh TEST.exe [ARG...] [TEST.exe [ARG...]]...
#
# Words after a .exe, up to the next .exe, are that test's arguments (e.g.
# test functions). Prints each test's output; exits non-zero if any failed.
# The DLLs are found through WINEPATH: Qt's from the cache, MinGW's runtime
# from the compiler; nothing is copied next to the tests. Nothing is written
# into the cache, which belongs to root and to the Qt build: the wine prefix,
# a qt.conf and the toolkit's French texts go beside the first test program.
# fail-calls.c is preloaded into wine, so that a test can plant a real failing
# system call on one of its files.
set -euo pipefail

CACHE=${QUORVANE_WINDOWS_CACHE:-/var/cache/quorvane/windows}
MINGW=x86_64-w64-mingw32
TIMEOUT=${QUORVANE_TEST_TIMEOUT:-300}      # seconds per test: a stuck dialog must not hang CI

[ $# -ge 1 ] || { echo "usage: $0 TEST.exe [ARG...] [TEST.exe [ARG...]]..." >&2; exit 2; }
[ -d "$CACHE/qt/bin" ] || { echo "no Qt for Windows in $CACHE/qt: run tools/windows/build-qt.sh" >&2; exit 1; }

# Wine maps / to drive Z:, so a Unix folder is Z: plus the path, backslashed.
windows_path() { local p; p=$(cd "$1" && pwd); echo "Z:${p//\//\\}"; }
dirs=("$CACHE/qt/bin")
for dll in libstdc++-6.dll libwinpthread-1.dll; do
    dirs+=("$(dirname "$("$MINGW-g++-posix" -print-file-name="$dll")")")
done
WINEPATH=$(for d in "${dirs[@]}"; do windows_path "$d"; done | paste -sd';')
beside=$(cd "$(dirname "$1")" && pwd)

# Debian's wine64 package keeps wine64 and wineserver out of PATH.
export PATH=/usr/lib/wine:$PATH
# A prefix of our own, made once per build folder (~15 s): not the user's ~/.wine. No Mono or
# Gecko: their installers would ask through a window, and tests need neither.
export WINEPREFIX=$beside/wine-tests WINEARCH=win64 WINEPATH
export WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml="
# Wine hands Windows programs no Unix variable starting with QT_; the WINE
# prefix brings this one through. offscreen needs no display.
export WINEQT_QPA_PLATFORM=offscreen
# offscreen draws text with FreeType from a font folder; Qt ships none, so
# lend it Debian's DejaVu (fonts-dejavu-core), else text has no glyphs.
fonts=/usr/share/fonts/truetype/dejavu
if [ -d "$fonts" ]; then export WINEQT_QPA_FONTDIR; WINEQT_QPA_FONTDIR=$(windows_path "$fonts"); fi
unset DISPLAY WAYLAND_DISPLAY
# The Qt in the cache, and the toolkit's French texts beside the tests, as the folder to unzip has
# them beside the program: a qt.conf beside a program tells Qt where it is.
install -D -m 644 /usr/share/qt6/translations/qtbase_fr.qm "$beside/translations/qtbase_fr.qm"
# (Forward slashes: qt.conf is read as an INI file, where a backslash starts an escape.)
printf '[Paths]\nPrefix = Z:%s\nTranslations = Z:%s\n' "$(cd "$CACHE/qt" && pwd)" \
    "$beside/translations" > "$beside/qt.conf"
# The fault planter, built for this machine's wine.
gcc -shared -fPIC -O2 -o "$beside/fail-calls.so" "$(dirname "$0")/fail-calls.c" -ldl
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "making the wine prefix $WINEPREFIX"
    wine64 wineboot --init >/dev/null 2>&1
    wineserver -w
fi
# The system's own windows (the file dialog makes some even before it is shown) need a graphics
# driver; with no display, wine's null driver, which shows nothing.
if ! grep -q '^"Graphics"="null"' "$WINEPREFIX/user.reg"; then
    wine64 reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
    wineserver -w
fi

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
failed=()
run() {     # run TEST.exe ARG...
    local exe=$1 name status=0
    name=$(basename "$exe" .exe)
    echo "=== $name $*"
    # Qt Test's output through a pipe is lost under wine: have it write a file.
    LD_PRELOAD=$beside/fail-calls.so timeout "$TIMEOUT" \
        wine64 "$exe" "${@:2}" -o "$(windows_path "$out")\\$name.txt,txt" \
        > "$out/$name.console" 2>&1 || status=$?
    cat "$out/$name.txt" "$out/$name.console" 2>/dev/null || true
    rm -f "$out/$name.txt" "$out/$name.console"
    if [ $status != 0 ]; then
        echo "=== $name FAILED (exit $status$([ $status = 124 ] && echo ", timed out after ${TIMEOUT}s"))"
        failed+=("$name")
    fi
}

# Split the command line at each .exe.
args=()
for word in "$@"; do
    if [[ $word == *.exe ]] && [ ${#args[@]} -gt 0 ]; then run "${args[@]}"; args=(); fi
    args+=("$word")
done
run "${args[@]}"

total=$(( $(printf '%s\n' "$@" | grep -c '\.exe$') ))
echo "$(( total - ${#failed[@]} )) passed, ${#failed[@]} failed"
[ ${#failed[@]} = 0 ]
