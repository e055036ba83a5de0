# Sourced by the scripts that need an X server where there may be none: starts Xvfb on a free
# display and points Qt at it. Call start_virtual_screen WORK-DIR; stop_virtual_screen ends it.
start_virtual_screen() {
  local work=$1 number
  mkfifo "$work/display"
  # -noreset: otherwise the server resets whenever its last client leaves, and refuses the
  # next one that connects meanwhile.
  Xvfb -displayfd 3 -screen 0 1024x768x24 -dpi 96 -nolisten tcp -noreset 3>"$work/display" >/dev/null 2>&1 &
  virtual_screen=$!
  if ! read -r -t 20 number <"$work/display"; then
    echo "Xvfb did not start." >&2
    return 1
  fi
  mkdir -m 700 "$work/runtime"
  export DISPLAY=":$number" QT_QPA_PLATFORM=xcb QT_QPA_PLATFORMTHEME= XDG_RUNTIME_DIR="$work/runtime"
}

stop_virtual_screen() {
  kill "${virtual_screen:-}" 2>/dev/null || true
}
