#!/bin/sh
# Small valid files of every kind the harnesses read, as starting points.
#   tests/fuzz/make-seeds.sh <folder>
set -eu
OUT=${1:?usage: make-seeds.sh <folder>}
mkdir -p "$OUT/xml" "$OUT/wav" "$OUT/aiff" "$OUT/ogg" "$OUT/mp3" "$OUT/buffered"
[ -e "$OUT/.done" ] && exit 0
T=$(mktemp -d)
trap 'rm -rf "$T"' EXIT

synth() { sox -n -r "$1" -c "$2" $3 "$4" synth "$5" sine 300-3000 pinknoise vol 0.5; }

synth 8000 1 "-b 16" "$OUT/wav/s16-mono.wav" 0.02
synth 8000 2 "-b 8" "$OUT/wav/u8.wav" 0.02
synth 8000 2 "-b 24" "$OUT/wav/s24.wav" 0.02
synth 8000 2 "-b 32 -e floating-point" "$OUT/wav/f32.wav" 0.02
synth 8000 6 "-b 16" "$OUT/wav/s16-six.wav" 0.01
synth 8000 1 "-b 16" "$OUT/aiff/s16-mono.aiff" 0.02
synth 8000 2 "-b 24" "$OUT/aiff/s24.aiff" 0.02
synth 8000 2 "-b 32 -e floating-point -t aifc" "$OUT/aiff/f32.aifc" 0.02
synth 8000 2 "-b 16" "$T/o.wav" 0.3
oggenc -Q -q 0 -o "$OUT/ogg/short.ogg" "$T/o.wav"
synth 22050 1 "-b 16" "$T/m.wav" 0.2
oggenc -Q -q 0 -o "$OUT/ogg/mono.ogg" "$T/m.wav"
lame --quiet -b 32 "$T/m.wav" "$OUT/mp3/mono.mp3"
lame --quiet -b 64 "$T/o.wav" "$OUT/mp3/stereo.mp3"
cp "$OUT/mp3/mono.mp3" "$T/tagged.mp3"
eyeD3 -Q --title t --artist a "$T/tagged.mp3" >/dev/null 2>&1 && cp "$T/tagged.mp3" "$OUT/mp3/tagged.mp3"

# The track cache takes a format byte (0 wav, 1 aiff, 2 ogg, 3 mp3) and a position byte first.
i=0
for f in "$OUT/wav/s16-mono.wav" "$OUT/aiff/s24.aiff" "$OUT/ogg/short.ogg" "$OUT/mp3/mono.mp3"; do
    { printf "\\00$i\\100"; cat "$f"; } > "$OUT/buffered/seed$i"
    i=$((i + 1))
done

x="$OUT/xml"
printf '<?xml version="1.0" encoding="UTF-8"?>\n\n<PeakFile lm_date="132224078450000000" size="10">\n  <PeakWave d0="-12" d1="100"/>\n  <AverageWave d0="-3" d1="3"/>\n</PeakFile>\n' > "$x/peak.xml"
printf '<?xml version="1.0" encoding="UTF-8"?>\n<Zund2DataBase><SONG FILENAME="a &amp; b.mp3" ARTIST="&#233;t&#xe9;" BPM="128.0"/><SONG FILENAME="c.wav"/></Zund2DataBase>\n' > "$x/database.xml"
printf '<MidiControlSettings>\n  <!-- learnt -->\n  <CONTROL ID="101" CC="7" CHANNEL="1">text &lt;here&gt;</CONTROL>\n  <DATA><![CDATA[raw <stuff> & more]]></DATA>\n</MidiControlSettings>\n' > "$x/mapping.xml"
printf '\357\273\277<ZundColourScheme name="\303\251t\303\251"><COLOUR id="3" value="ff102030"/></ZundColourScheme>' > "$x/bom.xml"
printf '<PeakFile><?pi?>x</PeakFile>' > "$x/pi-text.xml"
printf '<!DOCTYPE x SYSTEM "/dev/zero"><x>&e;</x>' > "$x/doctype.xml"
touch "$OUT/.done"
