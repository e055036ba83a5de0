#!/usr/bin/env bash
# End to end: the built editor on a virtual X screen, driven with real X input as a person would
# (File menu and dialog, clicks on rows and buttons, keyboard answers, the language menu), then
# the image compared byte for byte with what the session must leave.
# No fixed pauses: each action waits for the window it is meant for, or for the box before it to
# go (the main window drops input while a box is up); between boxes, input is taken in order.
#   run_e2e.sh BUILD-DIR
set -eEuo pipefail
step() { current=$*; }
trap 'echo "FAILED at line $LINENO of run_e2e.sh, step: ${current:-setting up}" >&2' ERR
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
# xdotool types a character missing from the keyboard map by lending it a spare key for just that
# press, and a busy editor may read the map back too late: é gets a key of its own for the session.
xkbcomp "$DISPLAY" - | sed '/^xkb_symbols/a key <I120> { [ eacute ] };' | xkbcomp -w 0 - "$DISPLAY"
# Polls the command after $1 until it succeeds, for at most 30 s; if it never does, says so, with
# the command's last words and the windows on screen.
await() { local what=$1 end=$((SECONDS + 30)) out; shift; until out=$("$@" 2>&1); do sleep 0.1
  ((SECONDS < end)) && continue; echo "FAILED: waited 30 s for $what${out:+ ($out)};" on screen: \
    $(xdotool search --onlyvisible --name . getwindowname %@ 2>&1 || true) >&2; return 1; done; }
shown() { xdotool search --onlyvisible --name "^$1\$"; } && gone() { ! shown "$1"; }
focused() { [ "$(xdotool getwindowfocus)" = "$1" ]; }
# (Not piped: under pipefail a descriptor closed while readlink runs would fail the pipe.)
holding_image() { grep -qxF "$image" <<<"$(readlink "/proc/$editor/fd/"*)"; }
# With no window manager, focus moves only by hand: onto each window as it opens, back to the
# main window once it has gone. The window's id is left in $window.
focus_on() { await "a window titled $1" shown "$1"; window=$(shown "$1"); window=${window%%$'\n'*}
  xdotool windowfocus "$window"; await "the focus on the window titled $1" focused "$window"; }
back_from() { await "the window titled $1 to close" gone "$1"; xdotool windowfocus "$main"
  await "the focus back on the main window" focused "$main"; }
key() { xdotool key --clearmodifiers "$@"; }
answer() { focus_on "$1"; key "${@:2}"; back_from "$1"; } # to the box titled $1, the keys after it
# Clicks at (x, y) of the client area, below the menu bar.
click() { xdotool mousemove --window "$main" "$1" $(($2 + menu_bar)) click 1; }

step "start, with arguments it must ignore"; "$build/quorvane" "these arguments" "are ignored.gba" &
editor=$! && focus_on Quorvane && main=$window
menu_bar=$(($(xdotool getwindowgeometry "$main" | awk '/Geometry/ {split($2, s, "x"); print s[2]}') - 492))
step "File > Open, the file's name typed into the dialog"; key alt+f o
focus_on Open; xdotool type --delay 20 "$image"; key Return; back_from Open
await "the editor to hold the image open" holding_image
step "row 5 becomes Fire vs Water = 0.5, the selectors set from the keyboard along the tab order"
click 60 20; key Home Down Down Down Down Down Tab Tab Tab Home $(printf 'Down %.0s' {1..10})
key Tab Home $(printf 'Down %.0s' {1..11}) Tab Down; click 285 33
step "insert at row 5, Enter answering No"; click 285 89; answer Warning Return
step "insert at row 5, Y answering Yes whatever the default"; click 285 89; answer Warning y
step "delete row 110"; click 60 20; key End; click 285 459
step "Options > Language > Français, Fichier > Sauvegarder"; key alt+o l f; key alt+f s
answer Attention Return; await "the image saved as expected" cmp "$image" "$work/expected.gba"
step "Fichier > Quitter"; key alt+f q
await "the editor's exit" test ! -e "/proc/$editor"
wait "$editor" || { echo "FAILED: the editor exited with $?" >&2; exit 1; }
cmp "$image" "$work/expected.gba"; echo "PASSED: the saved image is byte for byte the expected one"
