#!/usr/bin/env bash
# Every speed and memory goal of the site windows in one run, each figure next to its anchor:
# the main window's start against an empty Qt window, a site window's cold start, a second
# window and the memory per window against a bare Qt WebEngine program and chromium --app (once
# without and once with GPU compositing), and ten windows with nine asleep.
#
# usage: bench/goals.sh [BUILD_DIR] [ROUNDS]   (default: build 5)
#
# Runs under X11 on an Xvfb with openbox of its own and a session bus, as a desktop has; give a
# quiet machine: the figures are times.
set -uo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
rounds=${2:-5}

exec {display_fd}<> <(:)
Xvfb -displayfd "$display_fd" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
read -r -t 10 display_number <&"$display_fd" || { echo "Xvfb did not start" >&2; exit 2; }
exec {display_fd}>&-
DISPLAY=":$display_number" openbox >/dev/null 2>&1 &
openbox=$!
trap 'kill $openbox $xvfb 2>/dev/null' EXIT
export DISPLAY=":$display_number" QT_QPA_PLATFORM=xcb QTWEBENGINE_DISABLE_SANDBOX=1

status=0
echo "== main window: start to first show (X11, session bus)"
dbus-run-session -- python3 bench/cold-start.py "$build" $((rounds * 3)) || status=1
for compositing in software gpu; do
  echo "== site windows, $compositing compositing"
  BENCH_COMPOSITING=$compositing python3 bench/browser-start.py "$build" "$rounds" || status=1
done
echo "== ten site windows, nine asleep (X11)"
data=$(mktemp -d)
dbus-run-session -- "$build/bin/morvalen-bench-hibernation" "$data" || status=1
rm -rf "$data"
exit $status
