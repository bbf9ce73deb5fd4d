#!/usr/bin/env bash
# Builds the course and starts it. Without a display it runs on a virtual X display and
# leaves a screenshot of the main window.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build="$top/build/release"

"$top/scripts/deps.sh" start
if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DLUMAVO_TESTS=OFF -DLUMAVO_BENCH=OFF >/dev/null
fi
cmake --build "$build" --target Lumavo
program="$build/program/Lumavo"

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec "$program"
fi

shots="$top/build/screenshots"
echo "No display found: running the course on a virtual X display (Xvfb); a screenshot of the main window follows."
mkdir -p "$shots"
state=$(mktemp -d)
cleanup() {
  [ -n "${course:-}" ] && kill "$course" 2>/dev/null
  "$top/tests/support/xserver.sh" stop "$state"
  rm -rf "$state"
}
trap cleanup EXIT
"$top/tests/support/xserver.sh" start "$state"
export DISPLAY=$(cat "$state/display") XDG_RUNTIME_DIR="$state/runtime"
"$program" &
course=$!
sleep 5
import -window root "$shots/main-window.png"
echo "Screenshot of the main window: $shots/main-window.png"
