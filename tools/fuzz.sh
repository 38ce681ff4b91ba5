#!/usr/bin/env bash
# Runs one libFuzzer target for a while: tools/fuzz.sh TARGET SECONDS [LIBFUZZER OPTIONS...]
# TARGET is container, roundtrip, framer, serverlogic, tserver or clientgame. Builds with clang
# in build-fuzz, starts from the committed seed corpus, keeps what it learns in
# build-fuzz/corpus/TARGET, and writes any crashing input to tests/fuzz/crashes/TARGET/, where
# ./test.sh replays it from then on. To fold what a run learnt into the committed seeds:
#   build-fuzz/fuzz/fuzz_TARGET -merge=1 NEW_FOLDER tests/fuzz/corpus/TARGET build-fuzz/corpus/TARGET
# and replace the committed folder with NEW_FOLDER (the seeds of whole games that
# build/fuzz/game_seeds writes stay).
set -euo pipefail
cd "$(dirname "$0")/.."
target=${1:?usage: tools/fuzz.sh TARGET SECONDS}
seconds=${2:?usage: tools/fuzz.sh TARGET SECONDS}
if ! command -v clang++ >/dev/null; then
    echo "tools/fuzz.sh needs clang with libFuzzer: apt-get install clang libclang-rt-dev" >&2
    exit 1
fi
if [ ! -f build-fuzz/CMakeCache.txt ]; then
    CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVRAKO_FUZZ=ON \
        -DVRAKO_BENCH=OFF >/dev/null
fi
cmake --build build-fuzz --target "fuzz_$target" -j2
work=build-fuzz/corpus/$target
mkdir -p "$work" "tests/fuzz/crashes/$target"
# The whole server reads the same words as its logic.
words=$target
[ "$target" = tserver ] && words=serverlogic
dict=()
[ -f "tests/fuzz/$words.dict" ] && dict=("-dict=tests/fuzz/$words.dict")
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
exec "build-fuzz/fuzz/fuzz_$target" "$work" "tests/fuzz/corpus/$target" "${dict[@]}" \
    -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="tests/fuzz/crashes/$target/" "${@:3}"
