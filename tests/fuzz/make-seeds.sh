#!/bin/sh
# Small valid files of every kind the harnesses read, as starting points.
#   tests/fuzz/make-seeds.sh <folder>
set -eu
OUT=${1:?usage: make-seeds.sh <folder>}
mkdir -p "$OUT/xml" "$OUT/wav" "$OUT/aiff" "$OUT/ogg" "$OUT/mp3" "$OUT/buffered" "$OUT/id3" \
         "$OUT/database" "$OUT/tree" "$OUT/mapping" "$OUT/colours" "$OUT/preferences"
[ -e "$OUT/.done-2" ] && exit 0
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
# Tags: both versions, a genre number, text that is not Latin-1, an ID3v1 tag.
cp "$OUT/mp3/mono.mp3" "$OUT/id3/plain.mp3"
for v in 2.3 2.4; do
    cp "$OUT/mp3/mono.mp3" "$T/t$v.mp3"
    eyeD3 -Q --to-v$v --title "T\303\251" --artist a --album b --genre 17 --release-year 1999 --bpm 128 \
        --publisher l "$T/t$v.mp3" >/dev/null 2>&1 && cp "$T/t$v.mp3" "$OUT/id3/tagged-$v.mp3"
done
cp "$OUT/mp3/mono.mp3" "$T/v1.mp3"
eyeD3 -Q --to-v1.1 --title t --artist a "$T/v1.mp3" >/dev/null 2>&1 && cp "$T/v1.mp3" "$OUT/id3/v1.mp3"
# A tag alone, cut short: what a stopped download leaves.
[ -e "$OUT/id3/tagged-2.4.mp3" ] && head -c 60 "$OUT/id3/tagged-2.4.mp3" > "$OUT/id3/cut.mp3"

printf '<?xml version="1.0" encoding="UTF-8"?>\n\n<Zund2DataBase version="2.20">\n  <Entry0 filename="/m/a &amp; b.mp3" artist="A" album="B" song="S" bpm="128.0" label="L" genre="House" year="1999" filesize="123456" lm_date="132224078450000000" quality="128 kbps" seconds="245" samplerate="44100" couldNotWriteMetadata="0" cuePoint0="0.25" cuePoint1="-1" cuePoint2="1e-3" cuePoint3="-1" cuePoint4="-1" cuePoint5="1"/>\n  <Entry1 filename="/m/c.ogg" song="&#233;t&#233;"/>\n</Zund2DataBase>\n' > "$OUT/database/database.xml"
printf '<?xml version="1.0" encoding="UTF-8"?>\n\n<TreeView ID3ViewHeader="&lt;TABLELAYOUT sortedCol=&quot;3&quot; sortForwards=&quot;1&quot;&gt;&lt;COLUMN id=&quot;1&quot; visible=&quot;1&quot; width=&quot;40&quot;/&gt;&lt;COLUMN id=&quot;2&quot; visible=&quot;0&quot; width=&quot;200&quot;/&gt;&lt;/TABLELAYOUT&gt;" lastWidth="250">\n  <songFolders>\n    <SongFolder0 name="Music" path="/m"/>\n  </songFolders>\n  <cases>\n    <Case0 name="Gig">\n      <files file0="/m/a.mp3" file1="/m/b.ogg"/>\n    </Case0>\n  </cases>\n</TreeView>\n' > "$OUT/tree/TreeView.xml"
printf '<?xml version="1.0" encoding="UTF-8"?>\nMidiControlSettings\n<MidiControlSettings>\n  <Entry1 tag="52" controller="7"/>\n  <Entry2 tag="-2147483594" controller="65828"/>\n  <Entry3 tag="101" controller="66432"/>\n</MidiControlSettings>\n' > "$OUT/mapping/mapping.kms"
printf '<?xml version="1.0" encoding="UTF-8"?>\nZundColourScheme\n<ZundColourScheme>\n  <Entry0 Id="1" Value="ff102030"/>\n  <Entry1 Id="12" Value="80ffffff"/>\n  <Entry2 Id="3" Value="abc"/>\n</ZundColourScheme>\n' > "$OUT/colours/scheme.kcs"
printf '<?xml version="1.0" encoding="UTF-8"?>\n\n<Preferences MODULE_ACTIVE_0="1" MODULE_ACTIVE_3="0" lastX="120" lastY="64" lastWidth="1400" lastHeight="900" ResetOnLoad="0" WarnOnLoad="1" UseFunctionKeys="1" VirtualZeroLockRange="0.37" Deck1Input="2" Deck4Input="9" Channel1Output="2" PhonesOutput="2" MainOutput="1" SoftPreamp1="1" InvertPhase2L="1" ChannelInputDeck1="3" ChannelSync1="1" ChannelAbsolute2="1" NumChannels="3">\n  <MIDIControlDefaults>\n    <Entry1 tag="52" controller="7"/>\n  </MIDIControlDefaults>\n</Preferences>\n' > "$OUT/preferences/preferences.xml"
touch "$OUT/.done" "$OUT/.done-2"
