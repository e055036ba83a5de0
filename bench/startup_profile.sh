#!/usr/bin/env bash
# Where the start-up's instructions go, the editor beside the bare window: each program runs under
# callgrind, which counts instructions and not time, so the figures do not depend on what else the
# machine is doing; the count stops when the program asks the X server to map its window.
# Prints a Markdown table. Needs valgrind and an X display (DISPLAY).
#   startup_profile.sh BUILD-DIR
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The call tree of PROGRAM up to its first map request, in $work/NAME.tree.
profile() {
  local name=$1 program=$2 pid
  valgrind --tool=callgrind --dump-before=xcb_map_window --callgrind-out-file="$work/$name" \
    "$program" >/dev/null 2>&1 &
  pid=$!
  for _ in $(seq 300); do
    [ -s "$work/$name.1" ] && break
    sleep 0.1
  done
  sleep 0.5 # the dump is complete once the program goes on
  kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null || true
  [ -s "$work/$name.1" ] || { echo "startup_profile.sh: no map request from $program" >&2; exit 1; }
  callgrind_annotate --inclusive=yes --tree=calling --threshold=100 "$work/$name.1" \
    >"$work/$name.tree" 2>/dev/null
}
profile editor "$build/quorvane"
profile bare "$build/quorvane_bare_window"

# The inclusive count of the first function whose line holds TEXT; 0 if it never ran.
count() {
  awk -v text="$2" 'index($0, "*  ") && index($0, text) {gsub(",", "", $1); print $1; found = 1; exit}
                    END {if (!found) print 0}' "$work/$1.tree"
}
total() { awk '/PROGRAM TOTALS/ {gsub(",", "", $1); print $1; exit}' "$work/$1.tree"; }
# The callees of the window's constructor, summed by the step of the constructor they belong to.
steps() {
  awk 'index($0, "*  ") {inside = index($0, "TForm1::TForm1(QWidget*) [") > 0; next}
       inside && /^$/ {exit}
       inside && />/ {
         n = $1; gsub(",", "", n)
         if ($0 ~ /setupUi/) s = "form"
         else if ($0 ~ /HintStandInForTahoma|QFontDatabase::families|QApplication::(set)?[fF]ont/) s = "hint"
         else if ($0 ~ /FitFontToDesign|QFontMetrics|QWidget::setFont|QFontInfo|QFont::|QLabel::text/) s = "fit"
         else if ($0 ~ /QIcon|WindowIcon/) s = "icon"
         else if ($0 ~ /FillInterfaceStrings/) s = "strings"
         else if ($0 ~ /FillCustomMultFactorComboBox/) s = "custom"
         else if ($0 ~ /SetLanguage/) s = "language"
         else s = "other"
         sum[s] += n
       }
       END {for (s in sum) print s, sum[s]}' "$work/editor.tree"
}
millions() { awk -v n="$1" 'BEGIN {printf "%.2f", n / 1e6}'; }
step() { awk -v s="$1" '$1 == s {print $2; found = 1} END {if (!found) print 0}' "$work/steps"; }
steps >"$work/steps"

fonts="QFontconfigDatabase::populateFontDatabase() ["
for name in editor bare; do
  main=$(count "$name" "libc_start_call_main.h:(below main) [") # main, however it was inlined
  application=$(count "$name" "QApplication::QApplication(int&, char**, int) [")
  show=$(count "$name" "???:QWidget::show() [")
  declare "${name}_total=$(total "$name")" "${name}_main=$main" "${name}_application=$application" \
    "${name}_show=$show" "${name}_fonts=$(count "$name" "$fonts")" \
    "${name}_images=$(count "$name" "QImageReader::format() const [")"
done
window=$(count editor "TForm1::TForm1(QWidget*) [")
bare_window=$((bare_main - bare_application - bare_show))
editor_rest=$((editor_main - editor_application - window - editor_show))

echo "| up to the map request, million instructions | Quorvane | bare window |"
echo "|---|---|---|"
echo "| loading and linking the libraries, static objects (before main) | $(millions $((editor_total - editor_main))) | $(millions $((bare_total - bare_main))) |"
echo "| QApplication | $(millions "$editor_application") | $(millions "$bare_application") |"
echo "| the window built (TForm1's constructor; the bare window, its menus and client area) | $(millions "$window") | $(millions "$bare_window") |"
echo "| &nbsp; is Tahoma installed? (HintStandInForTahoma) | $(millions "$(step hint)") | |"
echo "| &nbsp; its form (setupUi) | $(millions "$(step form)") | |"
echo "| &nbsp; the font fitted to the design (FitFontToDesign) | $(millions "$(step fit)") | |"
echo "| &nbsp; the window's icon | $(millions "$(step icon)") | |"
echo "| &nbsp; FillInterfaceStrings | $(millions "$(step strings)") | |"
echo "| &nbsp; FillCustomMultFactorComboBox | $(millions "$(step custom)") | |"
echo "| &nbsp; SetLanguage(0) | $(millions "$(step language)") | |"
echo "| &nbsp; the rest: flags, fixed size, centring | $(millions "$(step other)") | |"
echo "| show() | $(millions "$editor_show") | $(millions "$bare_show") |"
echo "| the rest of main (the application's icon) | $(millions "$editor_rest") | |"
echo "| total | $(millions "$editor_total") | $(millions "$bare_total") |"
echo "| of which the system's font list, read once by the first that needs it (the editor's question for Tahoma; in the bare window, its show) | $(millions "$editor_fonts") | $(millions "$bare_fonts") |"
echo "| of which the image-format plug-ins, loaded by the first icon read (the application's; in the bare window, the style's) | $(millions "$editor_images") | $(millions "$bare_images") |"
