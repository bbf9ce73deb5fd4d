#!/usr/bin/env bash
# Builds everything with the address and undefined-behaviour sanitizers and runs every test.
# Needs no display and no sound card: tests that need an X server start their own.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build="$top/build/test"

"$top/scripts/deps.sh" test
if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMAVO_SANITIZE=ON >/dev/null
fi
cmake --build "$build"
cd "$build"
ctest --output-on-failure --timeout 300 -j2
