#!/usr/bin/env bash
# Builds the scene-file fuzz target with clang (libFuzzer, ASan, UBSan) in
# build/fuzz and runs it for the given number of seconds (default 60) on the
# seed corpus. New inputs go to build/fuzz/corpus, never into the sources.
# Exits non-zero when the build fails or the fuzzer finds a crash, a leak or a
# timeout; the input that did it is left in build/fuzz/artifacts.
set -euo pipefail
seconds=${1:-60}
top=$(cd "$(dirname "$0")/../.." && pwd)
build=$top/build/fuzz
seeds=$top/tests/scenefile/corpus

cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DSCENE_SANITIZE=ON -DSCENE_FUZZ=ON \
  -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link" >/dev/null
cmake --build "$build" --target fuzz_readscene -j2

mkdir -p "$build/corpus" "$build/artifacts"
cd "$build"
# Every run writes three small files; keep them off the disk where we can.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then export TMPDIR=/dev/shm; fi
# -rss_limit_mb and -malloc_limit_mb turn any allocation out of proportion to
# the input into a failure.
UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
ASAN_OPTIONS=detect_leaks=1 \
./tests/scenefile/fuzz_readscene -max_total_time="$seconds" -max_len=8192 \
  -rss_limit_mb=1024 -malloc_limit_mb=256 -timeout=10 \
  -dict="$top/tests/scenefile/scene.dict" \
  -artifact_prefix="$build/artifacts/" -print_final_stats=1 \
  "$build/corpus" "$seeds"
