#!/bin/sh
# Builds a libFuzzer target with the clang preset and runs it for a while.
#   fuzz/run.sh TARGET SECONDS      e.g. fuzz/run.sh scanner 600
# The corpus lives in build/fuzz/corpus/TARGET; crashes are written to build/fuzz/artifacts/TARGET/.
set -eu
# Engine libraries are instrumented too (the preset adds -fsanitize=fuzzer-no-link), so coverage guides the search.
if [ $# -ne 2 ]; then
    echo "usage: fuzz/run.sh TARGET SECONDS" >&2
    exit 2
fi
target=$1
seconds=$2
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/fuzz"
cd "$root"
scripts/deps.sh --fuzz
cmake --preset fuzz >/dev/null
ninja -C "$build" "fuzz_$target"
corpus="$build/corpus/$target"
artifacts="$build/artifacts/$target"
mkdir -p "$corpus" "$artifacts"
LSAN_OPTIONS="suppressions=$root/fuzz/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}" \
    exec "$build/fuzz_$target" "$corpus" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=20 \
    -artifact_prefix="$artifacts/" -print_final_stats=1
