#!/usr/bin/env bash
# End to end: the built editor on a virtual X screen, driven with real X input as a person would
# (File menu and dialog, clicks on rows and buttons, keyboard answers, the language menu), then
# the image compared byte for byte with what the session must leave. On the way a save past the
# file-size limit must be reported, not end the editor.
#   run_e2e.sh BUILD-DIR
set -euo pipefail
trap 'echo "FAILED at line $LINENO of run_e2e.sh" >&2' ERR
build=$1 hex=$(dirname "$0")/../data/gen3-type-chart.hex work=$(mktemp -d)
command -v Xvfb >/dev/null && command -v xdotool >/dev/null || { echo "SKIPPED: no Xvfb, xdotool"; exit 77; }
# A sparse Fire Red image holding the chart read, as hex lines, from standard input.
make_image() {
  truncate -s 16M "$1"
  printf BPRE | dd of="$1" bs=1 seek=172 conv=notrunc status=none
  printf "$(tr -d '\n' | sed 's/../\\x&/g')" | dd of="$1" bs=1 seek=$((0x24F050)) conv=notrunc status=none
}
image="$work/Fire Red é.gba" && make_image "$image" <"$hex"
# The session changes row 5, inserts a copy of it before it, and deletes row 110.
{ sed -n 1,5p "$hex"; echo 0A0B05; echo 0A0B05; sed -n 7,109p "$hex"; echo 00000A; sed -n 112p "$hex"; } |
  make_image "$work/expected.gba"

source "$(dirname "$0")/../../tools/virtual-screen.sh" && start_virtual_screen "$work"
trap 'kill ${editor:-} 2>/dev/null || true; stop_virtual_screen; wait 2>/dev/null; rm -rf "$work"' EXIT
window_named() { timeout 15 xdotool search --sync --onlyvisible --name "^$1\$" | head -n 1; }
key() { xdotool key --clearmodifiers "$@"; sleep 0.4; }
# Answers the box titled $1 with the keys after it; with no window manager, focus moves by hand.
answer() { local box; box=$(window_named "$1"); [ -n "$box" ] || { echo "FAILED: no box titled $1"; exit 1; }
  xdotool windowfocus --sync "$box"; key "${@:2}"; xdotool windowfocus --sync "$main"; }
# Clicks at (x, y) of the client area, below the menu bar.
click() { xdotool mousemove --window "$main" "$1" $(($2 + menu_bar)) click 1; sleep 0.4; }

"$build/quorvane" "these arguments" "are ignored.gba" & editor=$!
main=$(window_named Quorvane) && xdotool windowfocus --sync "$main" && sleep 1
menu_bar=$(($(xdotool getwindowgeometry "$main" | awk '/Geometry/ {split($2, s, "x"); print s[2]}') - 492))
# File > Open, the file's name typed into the dialog.
key alt+f && key o
xdotool windowfocus --sync "$(window_named Open)" && xdotool type --delay 20 "$image"
key Return && xdotool windowfocus --sync "$main" && sleep 1
# Row 5 becomes Fire vs Water = 0.5, the selectors set from the keyboard along the tab order.
click 60 20 && key Home Down Down Down Down Down Tab Tab Tab Home $(printf 'Down %.0s' {1..10})
key Tab Home $(printf 'Down %.0s' {1..11}) Tab Down && click 285 33
# Insert at row 5: Enter answers No, then Tab and Space answer Yes. Then delete row 110.
click 285 89 && answer Warning Return
click 285 89 && answer Warning Tab space
click 60 20 && key End && click 285 459
# Options > Language > Français, Fichier > Sauvegarder.
key alt+o && key l && key f
key alt+f && key s && answer Attention Return
# Past the file-size limit the save is refused and reported; then Fichier > Quitter.
prlimit --pid "$editor" --fsize=1048576 && key alt+f && key s && answer Alerte Return
key alt+f && key q
wait "$editor" || { echo "FAILED: the editor exited with $?"; exit 1; }
cmp "$image" "$work/expected.gba" && echo "PASSED: the saved image is byte for byte the expected one"
