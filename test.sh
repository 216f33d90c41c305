#!/bin/sh
# Builds every target and runs every test: the native tests under
# AddressSanitizer/UBSan, the same core tests under Wine, a short fuzzing
# run of every fuzz target, and an i686 compile. Installs what is missing
# first (Debian 12).
set -u
cd "$(dirname "$0")"
ROOT=$(pwd)
JOBS=$(nproc 2>/dev/null || echo 2)
FUZZ_SECONDS=${QUILLANE_FUZZ_SECONDS:-120}

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
# One fuzz target for its share of the time, seeded from corpus folders:
#   fuzz_target NAME SECONDS SEED_FOLDER...
# A seed folder is a corpus format folder, or an absolute path.
# (Its variables are prefixed: stage() keeps its own in plain names.)
fuzz_target() {
    fuzz_name=$1
    fuzz_seconds=$2
    shift 2
    fuzz_work="$ROOT/build/fuzz/work-$fuzz_name"
    fuzz_log="$ROOT/build/fuzz/fuzz-$fuzz_name.log"
    mkdir -p "$fuzz_work"
    fuzz_seeds=""
    for sub in "$@"; do
        case $sub in
            /*) [ -d "$sub" ] && fuzz_seeds="$fuzz_seeds $sub" ;;
            *) [ -d "$ROOT/../shared/corpus/$sub" ] && fuzz_seeds="$fuzz_seeds $ROOT/../shared/corpus/$sub" ;;
        esac
    done
    echo "--- quillane_fuzz_$fuzz_name, ${fuzz_seconds}s"
    # shellcheck disable=SC2086
    "$ROOT/build/fuzz/bin/quillane_fuzz_$fuzz_name" -max_total_time="$fuzz_seconds" -max_len=400000 \
        -timeout=30 -print_final_stats=1 -artifact_prefix="$ROOT/build/fuzz/" "$fuzz_work" $fuzz_seeds 2>"$fuzz_log"
    fuzz_rc=$?
    if [ "$fuzz_rc" -ne 0 ]; then
        tail -n 40 "$fuzz_log"
    fi
    grep -E '^stat::(number_of_executed_units|slowest_unit_time_sec|peak_rss_mb)' "$fuzz_log"
    return $fuzz_rc
}
# Every fuzz target with the corpus folders that seed it; the fuzzing time
# is shared equally among them.
# RTF also starts from hand-made hostile cases, from a file of 100,000
# opening braces made here, and from generated documents as the writer
# saves them.
# Word starts from the streams of the corpus's Word documents, gathered here;
# the compound-file reader from the documents themselves.
# Write starts from the corpus's Write files and small files the tests'
# builder makes.
# The settings file starts from a hand-made store with awkward values.
# The metafile player starts from the corpus's metafiles.
# The picture files start from the corpus's Targa, PCX, GIF and BMP files.
# The payload starts from installer files the payload writer builds.
# Editing starts from a few operation streams written by hand.
FUZZ_TARGETS="plaintext:txt pictures:png,jpeg,emf,wmf picturefiles:tga,pcx,gif,bmp metafile:emf,wmf rtf:rtf,$ROOT/tests/fuzz/rtf-seeds,$ROOT/build/fuzz/generated-seeds word:$ROOT/build/fuzz/seeds-word compoundfile:doc6,doc95,doc97,doc-other write:wri,$ROOT/build/fuzz/seeds-write settings:$ROOT/tests/fuzz/settings-seeds edit:$ROOT/tests/fuzz/edit-seeds payload:$ROOT/build/fuzz/seeds-payload"
fuzz() {
    configure fuzz -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DQUILLANE_FUZZ=ON -DQUILLANE_TESTS=OFF &&
        build fuzz || return 1
    mkdir -p "$ROOT/build/fuzz/generated-seeds" "$ROOT/build/fuzz/seeds-word" "$ROOT/build/fuzz/seeds-write" \
        "$ROOT/build/fuzz/seeds-payload"
    { printf '{\\rtf1 '; head -c 100000 /dev/zero | tr '\0' '{'; } >"$ROOT/build/fuzz/generated-seeds/deep-groups.rtf"
    "$ROOT/build/fuzz/bin/quillane_fuzz_rtf_seeds" "$ROOT/build/fuzz/generated-seeds" 30 >/dev/null
    "$ROOT/build/fuzz/bin/quillane_fuzz_write_seeds" "$ROOT/build/fuzz/seeds-write" >/dev/null
    "$ROOT/build/fuzz/bin/quillane_fuzz_payload_seeds" "$ROOT/build/fuzz/seeds-payload" >/dev/null
    for sub in doc6 doc95 doc97 doc-other; do
        [ -d "$ROOT/../shared/corpus/$sub" ] &&
            "$ROOT/build/fuzz/bin/quillane_fuzz_word_seeds" "$ROOT/build/fuzz/seeds-word" "$ROOT/../shared/corpus/$sub"/* >/dev/null
    done
    fuzz_count=$(echo $FUZZ_TARGETS | wc -w)
    fuzz_share=$(( FUZZ_SECONDS / fuzz_count ))
    [ "$fuzz_share" -ge 1 ] || fuzz_share=1
    fuzz_failed=0
    for fuzz_entry in $FUZZ_TARGETS; do
        # shellcheck disable=SC2046
        fuzz_target "${fuzz_entry%%:*}" "$fuzz_share" $(echo "${fuzz_entry#*:}" | tr ',' ' ') || fuzz_failed=1
    done
    return $fuzz_failed
}

mkdir -p build
stage "ASan/UBSan build and tests" asan
stage "win64 build and tests under Wine" win64
# After the Windows build: the native tests compare font widths with GDI.
stage "native build and tests" native
stage "i686 build" i686
stage "fuzz readers ${FUZZ_SECONDS}s" fuzz

echo
echo "=== summary$SUMMARY"
if [ "$FAILED" -ne 0 ]; then
    echo "test.sh: FAILED"
    exit 1
fi
echo "test.sh: all passed"
