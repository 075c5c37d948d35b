#!/bin/sh
# Builds a libFuzzer target with the clang preset and runs it for a while.
#   fuzz/run.sh TARGET SECONDS      e.g. fuzz/run.sh scanner 600
# The corpus lives in build/fuzz/corpus/TARGET and is seeded on the first run (fuzz/seed.py: hostile and
# shipped pages, the tests' HTML and sheets, the test pictures); the HTML and sheet targets get a dictionary
# of the tag, attribute and property names. Crashes are written to build/fuzz/artifacts/TARGET/.
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
dict="$build/$target.dict"
python3 "$root/fuzz/seed.py" "$target" "$corpus" "$dict"
case "$target" in
    document|scanner|frameset|sheet_parser) dict_option="-dict=$dict" ;;
    *) dict_option="" ;;
esac
LSAN_OPTIONS="suppressions=$root/fuzz/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}" \
    exec "$build/fuzz_$target" "$corpus" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=20 \
    -artifact_prefix="$artifacts/" -print_final_stats=1 $dict_option
