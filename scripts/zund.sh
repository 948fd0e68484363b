#!/bin/sh
# Set-up, build, run and test on Debian 12.
#   scripts/zund.sh run    install what is missing, build the release program, start it
#   scripts/zund.sh setup  install what is missing, then check what the tests rely on
#   scripts/zund.sh test   the set-up, then build everything with sanitizers (the benchmarks
#                          too, not run) and run every test
set -eu

cd "$(dirname "$0")/.."
ROOT=$(pwd)
JOBS=$(nproc 2>/dev/null || echo 2)
# Cache hits across checkouts and build folders.
export CCACHE_BASEDIR="$ROOT"
export CCACHE_NOHASHDIR=1

# Installed without recommendations, so everything used is named here, format
# plug-ins included (sox writes MP2 and MP3 only with libsox-fmt-mp3).
PACKAGES="build-essential cmake pkg-config ccache patch
    juce-modules-source libasound2-dev libjack-jackd2-dev libfreetype-dev libfontconfig1-dev
    libx11-dev libxrandr-dev libxinerama-dev libxcursor-dev libxext-dev libxtst-dev
    libflac-dev libogg-dev libvorbis-dev libpng-dev libjpeg-dev zlib1g-dev
    libmpg123-dev libsndfile1-dev libtag1-dev
    libgtest-dev libgmock-dev googletest libbenchmark-dev
    fonts-dejavu-core locales python3
    sox libsox-fmt-mp3 lame mpg123 vorbis-tools eyed3 mda-lv2 lv2-examples
    jackd2 xvfb xauth x11-utils x11-apps xdotool gdb"
# The tests also run among the ALSA plug-in devices that every desktop with
# PulseAudio or PipeWire has (alsa-lib then lists devices besides the cards).
TEST_PACKAGES="libasound2-plugins"

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# install_missing <packages...>
install_missing() {
    missing=""
    for p in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed"; then
            missing="$missing $p"
        fi
    done
    if [ -n "$missing" ]; then
        echo "Installing:$missing"
        as_root env DEBIAN_FRONTEND=noninteractive apt-get update -qq
        # shellcheck disable=SC2086
        as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing
    fi
}

# build <folder> <target or "all"> <cmake options...>
build() {
    dir=$1; target=$2; shift 2
    cmake -S "$ROOT" -B "$dir" "$@"
    cmake --build "$dir" -j "$JOBS" --target "$target"
}

release_build() {
    build "$ROOT/build/release" "$1" -DCMAKE_BUILD_TYPE=Release -DZUND_BUILD_TESTS=OFF -DZUND_BUILD_BENCH=ON
}

setup() {
    # shellcheck disable=SC2086
    install_missing $PACKAGES $TEST_PACKAGES
    sh "$ROOT/scripts/check-capabilities.sh"
}

case "${1:-}" in
    run)
        # shellcheck disable=SC2086
        install_missing $PACKAGES
        release_build Zund
        program="$ROOT/build/release/program/Zund"
        if [ -z "${DISPLAY:-}" ]; then
            echo "Built $program, but there is no X display to show it on (DISPLAY is not set)." >&2
            echo "Start it from a desktop session, or under a virtual display: xvfb-run $program" >&2
            exit 1
        fi
        if ! grep -qs '^ *[0-9]' /proc/asound/cards && ! JACK_NO_START_SERVER=1 jack_lsp >/dev/null 2>&1; then
            echo "Note: no sound card and no running JACK server were found; Zund will start without audio." >&2
        fi
        exec "$program"
        ;;
    setup)
        setup
        ;;
    test)
        setup
        # -O1 -g1: sanitized -O2 -g builds of the framework take several times longer.
        # The benchmarks are built here too (not run), so the framework is compiled once.
        build "$ROOT/build/sanitize" all -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZUND_SANITIZE=ON \
            -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" \
            -DZUND_BUILD_TESTS=ON -DZUND_BUILD_BENCH=ON
        export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
        export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
        (cd "$ROOT/build/sanitize" && ctest --output-on-failure -j "$JOBS")
        echo "All tests passed; the benchmarks are built in build/sanitize/bench (time them in a Release build)."
        ;;
    *)
        echo "usage: $0 run|setup|test" >&2
        exit 2
        ;;
esac
