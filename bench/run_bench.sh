#!/usr/bin/env bash
# The editor against the floors: start-up time to a mapped window and peak memory beside a bare
# Qt Widgets window of the same size with a menu bar, before and after it shows the toolkit's file
# dialog with the editor's filters; where the start-up's instructions go (startup_profile.sh, with
# valgrind); and the I/O of an Open and a Save.
# Prints a table and writes it to bench/results.md, keeping the fuzzing campaign's record there.
#   run_bench.sh BUILD-DIR [RUNS]
set -euo pipefail
trap 'echo "run_bench.sh: failed at line $LINENO" >&2' ERR
build=$(cd "$1" && pwd)
runs=${2:-41}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
source "$here/../tools/virtual-screen.sh"
start_virtual_screen "$work"
trap 'stop_virtual_screen; wait 2>/dev/null; rm -rf "$work"' EXIT

# File > Open on the editor's window, choosing `image`; a key that reaches the window before it
# has the keyboard is lost, so the menu is tried again.
open_image() {
  local window=$1 image=$2 dialog
  for _ in 1 2 3; do
    xdotool windowfocus --sync "$window" && sleep 0.3
    xdotool key alt+f && sleep 0.3 && xdotool key o
    dialog=$(timeout 5 xdotool search --sync --onlyvisible --name '^Open$' | head -n 1) || true
    if [ -n "$dialog" ]; then
      xdotool windowfocus --sync "$dialog"
      xdotool type --delay 10 "$image" && xdotool key Return
      return 0
    fi
    xdotool key Escape
  done
  echo "run_bench.sh: the file dialog did not come up" >&2
  return 1
}

median() { sort -n | awk '{v[NR]=$1} END {print (NR%2 ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2)}'; }
memory() { awk -v key="$2:" '$1==key {print $2}' "/proc/$1/status"; } # kB
stop() { kill "$1" 2>/dev/null; wait "$1" 2>/dev/null || true; }

# Start-up, alternating the two programs so that both meet the same machine, and which of the two
# goes first in a pair, so that neither always follows the other's exit.
"$build/quorvane_map_wait" "$build/quorvane" | { read -r pid _; stop "$pid"; } # warm the caches
"$build/quorvane_map_wait" "$build/quorvane_bare_window" | { read -r pid _; stop "$pid"; }
for ((i = 0; i < runs; i++)); do
  pair="quorvane quorvane_bare_window" && ((i % 2)) && pair="quorvane_bare_window quorvane"
  for program in $pair; do
    read -r pid ms < <("$build/quorvane_map_wait" "$build/$program")
    echo "$ms" >>"$work/$program.ms"
    stop "$pid"
  done
done

# Peak memory: the bare window once shown, then once it has shown the file dialog and a file was
# chosen in it (the dialog floor); the editor before any Open, then once it has shown an image's
# chart, opened through its File menu and file dialog.
truncate -s 16M "$work/image.gba" # sparse, a Fire Red code and an all-zero chart
printf BPRE | dd of="$work/image.gba" bs=1 seek=172 conv=notrunc status=none
for ((i = 0; i < 5; i++)); do
  read -r pid _ < <("$build/quorvane_map_wait" "$build/quorvane_bare_window")
  sleep 1
  memory "$pid" VmHWM >>"$work/bare.kb"
  open_image "$(xdotool search --sync --onlyvisible --name '^Bare$' | head -n 1)" "$work/image.gba"
  sleep 1.5
  memory "$pid" VmHWM >>"$work/dialog.kb"
  memory "$pid" RssAnon >>"$work/dialog-anon.kb"
  memory "$pid" RssFile >>"$work/dialog-file.kb"
  stop "$pid"

  read -r pid _ < <("$build/quorvane_map_wait" "$build/quorvane")
  sleep 1
  memory "$pid" VmHWM >>"$work/idle.kb"
  open_image "$(xdotool search --sync --onlyvisible --name '^Quorvane$' | head -n 1)" "$work/image.gba"
  sleep 1.5
  memory "$pid" VmHWM >>"$work/editor.kb"
  memory "$pid" RssAnon >>"$work/editor-anon.kb"
  memory "$pid" RssFile >>"$work/editor-file.kb"
  stop "$pid"
done

editor_ms=$(median <"$work/quorvane.ms")
bare_ms=$(median <"$work/quorvane_bare_window.ms")
# Each start-up of the editor against the bare window's that follows it, so that a slower or
# faster spell of the machine weighs on both sides of a ratio alike.
startup_ratio=$(paste "$work/quorvane.ms" "$work/quorvane_bare_window.ms" | awk '{print $1 / $2}' |
  median | awk '{printf "%.2f", $1}')
editor_kb=$(median <"$work/editor.kb")
idle_kb=$(median <"$work/idle.kb")
bare_kb=$(median <"$work/bare.kb")
dialog_kb=$(median <"$work/dialog.kb")
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", a / b}'; }
io=$("$build/quorvane_io_bench" "$work" 16 1024)
profile=$(command -v valgrind >/dev/null && bash "$here/startup_profile.sh" "$build" || true)
calls() { # the system calls an Open or a Save of a 16 MiB image makes, by name
  strace -o "$work/trace" "$build/quorvane_io_bench" "$work" 16 >/dev/null
  awk -v part="$1" '/getppid/ {n++; next} n == part {sub(/\(.*/, ""); print}' "$work/trace" |
    sort | uniq -c | awk '{printf "%s%s x%d", sep, $2, $1; sep=", "}'
}

# The fuzzing campaign's record, the last section of the file, is written by hand: kept as it is.
campaign=$(sed -n '/^## Editing sessions fuzzed/,$p' "$here/results.md" 2>/dev/null || true)
{
  echo "# Benchmark results"
  echo
  echo "Run $(date -u '+%Y-%m-%d %H:%M UTC') on $(nproc) cores of $(awk -F': ' '/model name/ {print $2; exit}' /proc/cpuinfo),"
  echo "$(awk '/MemTotal/ {printf "%.0f GiB", $2/1048576}' /proc/meminfo), Linux $(uname -r), Qt $(dpkg-query -W -f='${Version}' libqt6widgets6 2>/dev/null || echo '?'),"
  echo "under Xvfb (1024x768, 96 dpi, no window manager). Median of $runs alternating start-ups"
  echo "(the start-up ratio: the median of the $runs pairs' ratios) and of 5 memory readings."
  echo
  echo "| measure | Quorvane | floor | ratio | goal |"
  echo "|---|---|---|---|---|"
  echo "| start to window mapped, against the bare window | $editor_ms ms | $bare_ms ms | $startup_ratio | at most 1.05 |"
  echo "| peak resident memory (VmHWM) after opening an image, against the bare window after the same file dialog (dialog floor) | $editor_kb kB | $dialog_kb kB | $(ratio "$editor_kb" "$dialog_kb") | at most 1.15 |"
  echo "| the same, against the bare window that never showed the dialog | $editor_kb kB | $bare_kb kB | $(ratio "$editor_kb" "$bare_kb") | |"
  echo "| peak resident memory, started, before any Open, against the bare window | $idle_kb kB | $bare_kb kB | $(ratio "$idle_kb" "$bare_kb") | |"
  echo "| of which private (RssAnon), after the dialog | $(median <"$work/editor-anon.kb") kB | $(median <"$work/dialog-anon.kb") kB | | |"
  echo "| of which shared-library pages (RssFile), after the dialog | $(median <"$work/editor-file.kb") kB | $(median <"$work/dialog-file.kb") kB | | |"
  echo
  if [ -n "$profile" ]; then
    echo "Where the start-up goes: instructions counted by callgrind, the same on a busy machine as on"
    echo "an idle one, from the start of each program to its request to map its window:"
    echo
    echo "$profile"
    echo
    echo "Most of the difference is the font. The form asks for Tahoma 8 pt; where Tahoma is"
    echo "missing, as here, FitFontToDesign tries the system's sans-serif at 8, 7.75, 7.5 ... pt until"
    echo "both type labels' captions fit their designed widths. Sizes that round to the same pixel size"
    echo "share one font engine, but each new pixel size is a fontconfig match and a new HarfBuzz"
    echo "set-up, and setting the fitted font on the window makes each of the three drop-down lists"
    echo "build its popup list, which carries the font. Left until after the window is mapped, the fit"
    echo "could come after the first frame, drawn in the design font; and every size it tries can"
    echo "decide the result. So it stays where it is."
    echo
  fi
  echo "Open and Save I/O, from the kernel's counters for the process (/proc/self/io):"
  echo
  echo '```'
  echo "$io"
  echo '```'
  echo
  if command -v strace >/dev/null; then
    echo "System calls of an Open: $(calls 1)."
    echo
    echo "System calls of a Save: $(calls 3)."
  fi
  if [ -n "$campaign" ]; then
    echo
    echo "$campaign"
  fi
} | tee "$here/results.md"
