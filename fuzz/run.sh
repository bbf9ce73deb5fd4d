#!/usr/bin/env bash
# Builds a fuzzer with clang (libFuzzer, address and undefined-behaviour sanitizers) and runs it.
# Usage: fuzz/run.sh [parser|player] [SECONDS]   (default: parser, 600 s)
#   parser  every reader of movie data, and a player running a few frames
#   player  a movie played as the program plays it: interpreter, drawing and sound
# Inputs that crash a fuzzer are kept in tests/swf/fixtures/fuzz/ (parser) or
# tests/swf/fixtures/fuzz_player/ (player), where the swf tests replay them.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
target=${1:-parser}
seconds=${2:-600}
build="$top/build/fuzz"
sanitizers="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"

case "$target" in
  parser) corpus="$top/fuzz/corpus"; findings="$top/tests/swf/fixtures/fuzz" ;;
  player) corpus="$top/fuzz/corpus-player"; findings="$top/tests/swf/fixtures/fuzz_player" ;;
  *) echo "usage: $0 [parser|player] [SECONDS]" >&2; exit 2 ;;
esac

cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DLUMAVO_FUZZ=ON -DLUMAVO_TESTS=OFF -DLUMAVO_BENCH=OFF \
    -DCMAKE_CXX_FLAGS="$sanitizers" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
cmake --build "$build" --target "fuzz_$target" fuzz_seeds

mkdir -p "$corpus" "$findings"
"$build/fuzz/fuzz_seeds" "$corpus"
# Qt's font and plugin caches live until the process ends; they are not the findings sought.
[ "$target" = player ] && export ASAN_OPTIONS=detect_leaks=0
exec "$build/fuzz/fuzz_$target" "$corpus" -max_total_time="$seconds" -max_len=65536 -timeout=10 \
    -rss_limit_mb=2048 -artifact_prefix="$findings/" -print_final_stats=1
