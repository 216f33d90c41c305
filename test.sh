#!/bin/sh
# Builds every target and runs every test: the native tests under
# AddressSanitizer/UBSan, the same core tests under Wine, a short fuzzing
# run, and an i686 compile. Installs what is missing first (Debian 12).
set -u
cd "$(dirname "$0")"
ROOT=$(pwd)
JOBS=$(nproc 2>/dev/null || echo 2)
FUZZ_SECONDS=${QUILLANE_FUZZ_SECONDS:-30}

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
fuzz() {
    configure fuzz -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DQUILLANE_FUZZ=ON -DQUILLANE_TESTS=OFF &&
        build fuzz || return 1
    # Every target gets its share of the time, its own work folder and its
    # seeds: the corpus folder of its format and hand-made hostile cases.
    generated="$ROOT/build/fuzz/generated-seeds"
    mkdir -p "$generated"
    { printf '{\\rtf1 '; head -c 100000 /dev/zero | tr '\0' '{'; } >"$generated/deep-groups.rtf"
    share=$((FUZZ_SECONDS / 2))
    rc=0
    for target in plaintext:txt rtf:rtf; do
        name=${target%%:*}
        corpus=${target#*:}
        work="$ROOT/build/fuzz/work-$name"
        mkdir -p "$work"
        seeds=""
        [ -d "$ROOT/../shared/corpus/$corpus" ] && seeds="$ROOT/../shared/corpus/$corpus"
        [ "$name" = rtf ] && seeds="$seeds $ROOT/tests/fuzz/rtf-seeds $generated"
        # shellcheck disable=SC2086
        "$ROOT/build/fuzz/bin/quillane_fuzz_$name" -max_total_time="$share" -max_len=200000 -timeout=30 \
            -print_final_stats=1 "$work" $seeds 2>"$ROOT/build/fuzz/fuzz-$name.log" || rc=1
        echo "$name:"
        grep -E "stat::number_of_executed_units|ERROR|Timeout|crash" "$ROOT/build/fuzz/fuzz-$name.log" | head -n 5
    done
    return $rc
}

mkdir -p build
stage "ASan/UBSan build and tests" asan
stage "win64 build and tests under Wine" win64
# After the Windows build: the native tests compare font widths with GDI.
stage "native build and tests" native
stage "i686 build" i686
stage "fuzz text and RTF readers ${FUZZ_SECONDS}s" fuzz

echo
echo "=== summary$SUMMARY"
if [ "$FAILED" -ne 0 ]; then
    echo "test.sh: FAILED"
    exit 1
fi
echo "test.sh: all passed"
