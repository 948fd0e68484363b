#!/bin/sh
# Builds the libFuzzer harnesses with clang (ASan and UBSan) and runs each for the
# given time. Not part of the program's build or tests.
#   tests/fuzz/run.sh <seconds> [harness...]
# Harnesses: the readers (xml wav aiff ogg mp3 buffered mp3scan), the tag editors
# (vorbisedit id3) and the program's own files (database databaseparse tree mapping
# colours preferences). PARALLEL (default 3) run at once.
# Corpora grow in build/fuzz/corpus/<harness>; crashes, hangs and oversized
# allocations land in build/fuzz/findings/<harness>; logs in build/fuzz/logs.
set -eu

cd "$(dirname "$0")/../.."
ROOT=$(pwd)
TIME=${1:?usage: tests/fuzz/run.sh <seconds> [harness...]}
shift
HARNESSES=${*:-xml wav aiff ogg mp3 buffered mp3scan vorbisedit id3 database databaseparse tree mapping colours preferences}
PARALLEL=${PARALLEL:-3}
BUILD="$ROOT/build/fuzz"
export CCACHE_BASEDIR="$ROOT" CCACHE_NOHASHDIR=1

CC=clang CXX=clang++ cmake -S "$ROOT/tests/fuzz" -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1" -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -g1" >/dev/null
targets=""
for h in $HARNESSES; do targets="$targets fuzz_$h"; done
# shellcheck disable=SC2086
cmake --build "$BUILD" -j "${JOBS:-4}" --target $targets

SEEDS="$BUILD/seeds"
"$ROOT/tests/fuzz/make-seeds.sh" "$SEEDS"
mkdir -p "$BUILD/logs"
export LSAN_OPTIONS="suppressions=$ROOT/tests/fuzz/lsan.supp"

run_one() {
    h=$1
    case $h in
        xml|databaseparse) seeds="$SEEDS/xml"; extra="-dict=$ROOT/tests/fuzz/xml.dict -max_len=8192" ;;
        mp3scan) seeds="$SEEDS/mp3"; extra="-max_len=65536" ;;
        buffered) seeds="$SEEDS/buffered"; extra="-max_len=65536" ;;
        vorbisedit) seeds="$SEEDS/ogg"; extra="-max_len=65536" ;;
        id3) seeds="$SEEDS/id3"; extra="-max_len=65536" ;;
        database|tree|mapping|colours|preferences)
            seeds="$SEEDS/$h"; extra="-dict=$ROOT/tests/fuzz/userfiles.dict -max_len=16384" ;;
        *) seeds="$SEEDS/$h"; extra="-max_len=65536" ;;
    esac
    mkdir -p "$BUILD/corpus/$h" "$BUILD/findings/$h"
    # -malloc_limit_mb: a damaged header must not make a reader ask for huge blocks.
    status=0
    # shellcheck disable=SC2086
    "$BUILD/fuzz_$h" -max_total_time="$TIME" -timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=64 \
        -print_final_stats=1 -artifact_prefix="$BUILD/findings/$h/" $extra \
        "$BUILD/corpus/$h" "$seeds" >"$BUILD/logs/$h.log" 2>&1 || status=$?
    echo "$h: exit $status, $(grep -o 'stat::number_of_executed_units: [0-9]*' "$BUILD/logs/$h.log" | grep -o '[0-9]*$') runs," \
         "$(ls "$BUILD/findings/$h" | wc -l) findings"
}

running=0
for h in $HARNESSES; do
    run_one "$h" &
    running=$((running + 1))
    if [ "$running" -ge "$PARALLEL" ]; then
        wait
        running=0
    fi
done
wait
