#!/usr/bin/env bash
# End to end: the built editor on a virtual X screen, driven with real X input events as a
# person would (File menu and file dialog, clicks on rows and buttons at their places, keyboard
# answers, the language menu), then the image compared byte for byte with the expected result.
# Also leaves pictures of the window in English and French in SHOTS.
#
#   run_e2e.sh BUILD-DIR SHOTS-DIR
set -euo pipefail
trap 'echo "FAILED at line $LINENO of run_e2e.sh" >&2' ERR
build=$1
shots=$2
if ! command -v Xvfb >/dev/null || ! command -v xdotool >/dev/null; then
  echo "SKIPPED: the end-to-end test needs Xvfb and xdotool (make test installs them)."
  exit 77
fi
work=$(mktemp -d)
mkdir -p "$shots"
image="$work/Fire Red é.gba"
"$build/tests/quorvane_e2e_image" make "$image"
"$build/tests/quorvane_e2e_image" expect "$image" "$work/expected.gba"

source "$(dirname "$0")/../../tools/virtual-screen.sh"
start_virtual_screen "$work"
editor=
finish() {
  [ -n "$editor" ] && kill "$editor" 2>/dev/null
  stop_virtual_screen
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap finish EXIT

step() { echo "- $*"; }
pause() { sleep "${1:-0.4}"; }
window_named() { timeout 15 xdotool search --sync --onlyvisible --name "$1" | head -n 1; }
key() { xdotool key --clearmodifiers "$@"; pause; }
# Answers the message box that has come up with the given keys. With no window manager to
# hand the keyboard over, focus goes to the box, and back to the main window once it is gone.
answer() {
  local box
  box=$(window_named '^(Warning|Attention|Alerte)$')
  xdotool windowfocus --sync "$box"
  key "$@"
  xdotool windowfocus --sync "$main"
  pause
}
# Clicks at (x, y) of the client area, below the menu bar.
click() {
  xdotool mousemove --window "$main" "$1" $(($2 + menu_bar)) click 1
  pause
}

"$build/quorvane" "these arguments" "are ignored.gba" &
editor=$!
main=$(window_named '^Quorvane$')
xdotool windowfocus --sync "$main"
pause 1
menu_bar=$(($(xdotool getwindowgeometry "$main" | awk '/Geometry/ {split($2, s, "x"); print s[2]}') - 492))
step "the window is up; its menu bar is $menu_bar pixels high"

step "File > Open, then the file's name typed into the dialog"
key alt+f
key o
dialog=$(window_named '^Open$')
xdotool windowfocus --sync "$dialog"
xdotool type --delay 20 "$image"
key Return
xdotool windowfocus --sync "$main"
pause 1

step "row 5: Fire vs Water = 0.5, with Change"
# The selectors are set from the keyboard, walking the tab order from the list: a type list's
# popup would swallow the next click if it opened late.
click 60 20 # the list takes the focus
key Home Down Down Down Down Down
key Tab Tab Tab # Change, Insert, then the attacking type list
key Home Down Down Down Down Down Down Down Down Down Down
key Tab # the defending type list
key Home Down Down Down Down Down Down Down Down Down Down Down
key Tab Down # into the multiplier group, then its second item
click 285 33 # Change Entry

step "Insert at row 5: Enter answers No, then Yes"
click 285 89
answer Return
click 285 89
answer Tab space

step "Delete at row 110"
click 60 20
key End
click 285 459

"$build/quorvane_window_shot" "$main" "$shots/quorvane-en.png"
step "Options > Language > Français"
key alt+o
key l
key f
pause
"$build/quorvane_window_shot" "$main" "$shots/quorvane-fr.png"

step "Fichier > Sauvegarder, the box answered with Enter, then Fichier > Quitter"
key alt+f
key s
answer Return
key alt+f
key q
status=0
wait "$editor" || status=$?
editor=
if [ "$status" -ne 0 ]; then
  echo "FAILED: the editor exited with $status"
  exit 1
fi

if cmp "$image" "$work/expected.gba"; then
  echo "PASSED: the saved image is byte for byte the expected one"
else
  echo "FAILED: the saved image differs from the expected one"
  cmp -l "$image" "$work/expected.gba" | head -n 20
  exit 1
fi
