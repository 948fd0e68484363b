#!/bin/sh
# Checks that this machine can do what the tests rely on, and stops at the first
# thing it cannot do with the name of the Debian package that brings it.
# Called by "scripts/zund.sh setup" and "scripts/zund.sh test" after the install.
set -u

work=$(mktemp -d "${TMPDIR:-/tmp}/zund-capabilities.XXXXXX")
server_pid=""
cleanup() {
    if [ -n "$server_pid" ]; then
        kill "$server_pid" 2>/dev/null
        wait "$server_pid" 2>/dev/null
    fi
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

# missing <package> <what failed>: the message, then stop.
missing() {
    echo "Missing capability: $2." >&2
    echo "Install the package \"$1\" (apt-get install --no-install-recommends $1), or run scripts/zund.sh setup." >&2
    if [ -s "$work/output" ]; then
        echo "Its output was:" >&2
        tail -n 5 "$work/output" >&2
    fi
    exit 1
}

# check <package> <what> <command...>: runs the command quietly.
check() {
    package=$1; what=$2; shift 2
    "$@" >"$work/output" 2>&1 || missing "$package" "$what"
}

# until_ready <seconds> <command...>: retries the command every 0.1 s.
until_ready() {
    tries=$(( $1 * 10 )); shift
    while [ "$tries" -gt 0 ]; do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.1
        tries=$(( tries - 1 ))
    done
    return 1
}

stop_server() {
    kill "$server_pid" 2>/dev/null
    wait "$server_pid" 2>/dev/null
    server_pid=""
}

# Audio tools that make and read the test tracks.
check sox "sox cannot write a WAV file" sox -n -r 44100 -c 2 -b 16 "$work/tone.wav" synth 0.2 sine 440
check libsox-fmt-mp3 "sox cannot write an MPEG Layer II (.mp2) file" \
    sox -n -r 44100 -c 2 "$work/tone.mp2" synth 0.2 sine 440
check libsox-fmt-mp3 "sox cannot write an MP3 file" sox -n -r 44100 -c 2 "$work/sox.mp3" synth 0.2 sine 440
check lame "lame cannot encode an MP3 file" lame --quiet "$work/tone.wav" "$work/tone.mp3"
check mpg123 "mpg123 cannot decode an MP3 file" mpg123 -q -w "$work/decoded.wav" "$work/tone.mp3"
check eyed3 "eyeD3 cannot tag an MP3 file" eyeD3 -Q --artist Zund "$work/tone.mp3"
check vorbis-tools "oggenc cannot encode an Ogg Vorbis file" oggenc -Q -o "$work/tone.ogg" "$work/tone.wav"
check vorbis-tools "vorbiscomment cannot tag an Ogg Vorbis file" vorbiscomment -a -t ARTIST=Zund "$work/tone.ogg"
check vorbis-tools "ogginfo cannot check an Ogg Vorbis file" ogginfo "$work/tone.ogg"
check vorbis-tools "oggdec cannot decode an Ogg Vorbis file" oggdec -Q -o "$work/decoded-ogg.wav" "$work/tone.ogg"

# The LV2 plug-ins that the plug-in tests host.
check mda-lv2 "the LV2 plug-ins RingMod and DX10 are not in /usr/lib/lv2/mda.lv2" \
    test -f /usr/lib/lv2/mda.lv2/RingMod.ttl -a -f /usr/lib/lv2/mda.lv2/DX10.ttl
check lv2-examples "the LV2 plug-in eg-scope is not in /usr/lib/lv2/eg-scope.lv2" \
    grep -q "eg-scope#Mono" /usr/lib/lv2/eg-scope.lv2/manifest.ttl

# What the database tests read their files back with, and the locale they make.
check python3 "python3 cannot parse XML" python3 -c "import xml.etree.ElementTree"
check locales "localedef cannot make a German UTF-8 locale" localedef -i de_DE -f UTF-8 "$work/de_DE.UTF-8"

# The face the look and feel falls back to.
check fonts-dejavu-core "the DejaVu Sans font is not installed" \
    test -f /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf

# The ALSA plug-in devices of a desktop, which the device lists the tests
# meet include (a fresh start must still choose a running JACK server).
check libasound2-plugins "alsa-lib has no JACK plug-in device (pcm.jack)" \
    sh -c 'cat /etc/alsa/conf.d/*.conf /usr/share/alsa/alsa.conf.d/*.conf 2>/dev/null | grep -q "^pcm.jack"'

# A JACK server with its dummy back end, started and stopped.
check jackd2 "jackd is not installed" command -v jackd
check jackd2 "jack_wait is not installed" command -v jack_wait
jack_name="zund-check-$$"
jackd --no-realtime -n "$jack_name" -d dummy -r 48000 -p 256 >"$work/output" 2>&1 &
server_pid=$!
JACK_DEFAULT_SERVER=$jack_name JACK_NO_START_SERVER=1 until_ready 20 jack_wait -c \
    || missing jackd2 "jackd does not start with its dummy back end"
stop_server

# A virtual X display, its tools, started and stopped.
check xauth "xauth is not installed" command -v xauth
check x11-utils "xdpyinfo is not installed" command -v xdpyinfo
check xvfb "Xvfb is not installed" command -v Xvfb
display_number=$(( 300 + $$ % 600 ))
while [ -e "/tmp/.X$display_number-lock" ] || [ -e "/tmp/.X11-unix/X$display_number" ]; do
    display_number=$(( display_number + 1 ))
done
Xvfb ":$display_number" -screen 0 640x480x24 -nolisten tcp >"$work/output" 2>&1 &
server_pid=$!
until_ready 20 xdpyinfo -display ":$display_number" || missing xvfb "Xvfb does not start"
check x11-apps "xwd cannot take a screenshot" xwd -root -display ":$display_number" -out "$work/screen.xwd"
check xdotool "xdotool cannot reach the display" env DISPLAY=":$display_number" xdotool getmouselocation
stop_server

# Where a hanging program is stuck, for the end-to-end tests' logs.
check gdb "gdb is not installed" command -v gdb

echo "Every capability the tests rely on is here."
