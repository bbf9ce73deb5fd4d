#!/usr/bin/env bash
# Builds the movie-parser fuzzer with clang (libFuzzer, address and undefined-behaviour
# sanitizers) and runs it. Usage: fuzz/run.sh [SECONDS] (default 600).
# Inputs that crash it are kept in tests/swf/fixtures/fuzz/, where swf_parser_tests replay them.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-600}
build="$top/build/fuzz"
sanitizers="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"

cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DLUMAVO_FUZZ=ON -DLUMAVO_TESTS=OFF -DLUMAVO_BENCH=OFF \
    -DCMAKE_CXX_FLAGS="$sanitizers" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
cmake --build "$build" --target fuzz_parser fuzz_seeds

corpus="$top/fuzz/corpus"
findings="$top/tests/swf/fixtures/fuzz"
mkdir -p "$corpus" "$findings"
"$build/fuzz/fuzz_seeds" "$corpus"
exec "$build/fuzz/fuzz_parser" "$corpus" -max_total_time="$seconds" -max_len=65536 -timeout=10 \
    -rss_limit_mb=2048 -artifact_prefix="$findings/" -print_final_stats=1
