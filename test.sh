#!/bin/sh
# Builds every target and runs every test: the native tests under
# AddressSanitizer/UBSan, the same core tests under Wine, a short fuzzing
# run, and an i686 compile. Installs what is missing first (Debian 12).
set -u
cd "$(dirname "$0")"
ROOT=$(pwd)
JOBS=$(nproc 2>/dev/null || echo 2)
FUZZ_SECONDS=${QUILLANE_FUZZ_SECONDS:-60}

./scripts/install-deps.sh || { echo "test.sh: installing packages failed"; exit 1; }
. ./scripts/ensure-display.sh

SUMMARY=""
FAILED=0
stage() {
    name=$1
    shift
    echo "=== $name"
    start=$(date +%s)
    if "$@"; then
        result=ok
    else
        result=FAILED
        FAILED=1
    fi
    SUMMARY="$SUMMARY
  $(printf '%-34s %-7s %4ss' "$name" "$result" "$(( $(date +%s) - start ))")"
}

configure() {
    dir=$1
    shift
    cmake -S "$ROOT" -B "$ROOT/build/$dir" -G Ninja "$@" >"$ROOT/build/$dir.configure.log" 2>&1 ||
        { cat "$ROOT/build/$dir.configure.log"; return 1; }
}
build() { cmake --build "$ROOT/build/$1" -j "$JOBS"; }
run_ctest() { (cd "$ROOT/build/$1" && ctest -j "$JOBS" --output-on-failure --timeout 900); }

native() { configure native -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLANE_BENCHMARKS=ON && build native && run_ctest native; }
asan() { configure asan -DCMAKE_BUILD_TYPE=Debug -DQUILLANE_SANITIZE=ON && build asan && run_ctest asan; }
win64() {
    configure win64 -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-mingw-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release &&
        build win64 && run_ctest win64
}
i686() {
    configure win32 -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-mingw-i686.cmake" -DCMAKE_BUILD_TYPE=Release \
        -DQUILLANE_TESTS=OFF && build win32
}
# One libFuzzer target for its share of the time, with its seeds.
run_fuzzer() {
    target=$1
    seconds=$2
    max_len=$3
    shift 3
    mkdir -p "$ROOT/build/fuzz/work-$target"
    "$ROOT/build/fuzz/bin/quillane_fuzz_$target" -max_total_time="$seconds" -max_len="$max_len" \
        -print_final_stats=1 "$ROOT/build/fuzz/work-$target" "$@" 2>"$ROOT/build/fuzz/fuzz-$target.log"
    rc=$?
    echo "--- $target"
    grep -E '^stat::number_of_executed_units|^stat::peak_rss' "$ROOT/build/fuzz/fuzz-$target.log"
    tail -n 2 "$ROOT/build/fuzz/fuzz-$target.log"
    return $rc
}
fuzz() {
    configure fuzz -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DQUILLANE_FUZZ=ON -DQUILLANE_TESTS=OFF &&
        build fuzz || return 1
    corpus="$ROOT/../shared/corpus"
    share=$((FUZZ_SECONDS / 2))
    [ "$share" -ge 1 ] || share=1
    text_seeds=""
    [ -d "$corpus/txt" ] && text_seeds="$corpus/txt"
    # The Word target reads the streams of the corpus's Word documents.
    word_seeds="$ROOT/build/fuzz/seeds-word"
    mkdir -p "$word_seeds"
    for sub in doc6 doc95 doc97 doc-other; do
        [ -d "$corpus/$sub" ] && "$ROOT/build/fuzz/bin/quillane_fuzz_word_seeds" "$word_seeds" "$corpus/$sub"/* >/dev/null
    done
    status=0
    # shellcheck disable=SC2086
    run_fuzzer plaintext "$share" 200000 $text_seeds || status=1
    run_fuzzer word "$share" 400000 "$word_seeds" || status=1
    return $status
}

mkdir -p build
stage "ASan/UBSan build and tests" asan
stage "win64 build and tests under Wine" win64
# After the Windows build: the native tests compare font widths with GDI.
stage "native build and tests" native
stage "i686 build" i686
stage "fuzz text and Word readers ${FUZZ_SECONDS}s" fuzz

echo
echo "=== summary$SUMMARY"
if [ "$FAILED" -ne 0 ]; then
    echo "test.sh: FAILED"
    exit 1
fi
echo "test.sh: all passed"
