#!/usr/bin/env bash
# Starts the built editor. On a machine with no display it starts it on a virtual screen
# instead, saves a picture of the window to BUILD/quorvane.png, says so and exits 0, so that
# `make run` neither hangs nor fails where nobody can see a window.
set -euo pipefail
build=${1:-build}
editor="$build/quorvane"

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$editor"
fi

shot="$build/quorvane.png"
echo "No display here: starting the editor on a virtual screen to take its picture."
work=$(mktemp -d)
source "$(dirname "$0")/virtual-screen.sh"
start_virtual_screen "$work"
"$editor" &
editor_pid=$!
cleanup() {
  kill "$editor_pid" 2>/dev/null || true
  stop_virtual_screen
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Quorvane$' | head -n 1) || true
if [ -z "$window" ]; then
  echo "The editor's window did not appear on the virtual screen." >&2
  exit 1
fi
sleep 0.5 # let it finish painting
"$build/quorvane_window_shot" "$window" "$shot"
echo "The editor started; a picture of its window is in $shot"
