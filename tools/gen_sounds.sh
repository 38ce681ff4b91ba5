#!/bin/sh
# SPDX-License-Identifier: MIT
# Synthesises the game's sounds into assets/sounds/ (16-bit PCM, mono, 22050 Hz).
# Needs sox and espeak-ng. Run by hand after changing a sound; the WAV files are committed
# and the build never runs this script.
set -eu

here=$(cd "$(dirname "$0")/.." && pwd)
out="$here/assets/sounds"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$out"

fmt="-r 22050 -c 1 -b 16"

# tone FILE SECONDS NOTE [extra effects...]: one plucked, softly fading note.
tone() {
    f=$1 len=$2 note=$3
    shift 3
    sox -n $fmt "$work/$f" synth "$len" pluck "$note" fade q 0.005 "$len" "$len" "$@"
}

# bell FILE SECONDS NOTE: a sine bell with a faint octave overtone.
bell() {
    sox -n $fmt "$work/$1" synth "$2" sine "$3" sine "$3" remix 1 \
        fade q 0.004 "$2" "$2" gain -4
    sox -n $fmt "$work/o_$1" synth "$2" sine "$3" pitch 1200 fade q 0.002 "$2" "$2" gain -14
    sox -m "$work/$1" "$work/o_$1" "$work/m_$1"
    mv "$work/m_$1" "$work/$1"
}

# finish NAME IN [PEAK_DB]: normalise to the peak level, end softly and write the final file.
finish() {
    sox "$2" $fmt "$out/$1.wav" gain -n "${3:--3}" fade q 0 -0 0.02
}

# entered: a friendly rising three-note greeting.
tone e1.wav 0.16 G4
tone e2.wav 0.16 C5
tone e3.wav 0.40 E5
sox "$work/e1.wav" "$work/e2.wav" "$work/e3.wav" "$work/entered.wav"
finish entered "$work/entered.wav"

# draw: a short upward swish of filtered noise, as a card slides off the pile.
sox -n $fmt "$work/draw.wav" synth 0.22 pinknoise \
    sinc 1500-6000 fade q 0.12 0.22 0.09 gain -6
finish draw "$work/draw.wav"

# placecard: a quick swish ending in a soft tap on the table.
sox -n $fmt "$work/p1.wav" synth 0.14 pinknoise sinc 800-5000 fade q 0.02 0.14 0.10
sox -n $fmt "$work/p2.wav" synth 0.09 sine 140 fade q 0.001 0.09 0.08 gain -3
sox -n $fmt "$work/p3.wav" synth 0.09 brownnoise lowpass 900 fade q 0.001 0.09 0.08 gain -6
sox -m "$work/p2.wav" "$work/p3.wav" "$work/ptap.wav"
sox "$work/p1.wav" "$work/ptap.wav" "$work/placecard.wav"
finish placecard "$work/placecard.wav"

# invalid: a low double buzz.
sox -n $fmt "$work/i1.wav" synth 0.13 square 98 square 104 remix 1 gain -8 lowpass 1800 \
    fade q 0.005 0.13 0.03
sox -n $fmt "$work/isil.wav" trim 0 0.05
sox "$work/i1.wav" "$work/isil.wav" "$work/i1.wav" "$work/invalid.wav"
finish invalid "$work/invalid.wav" -10

# turn: the classic two-note chime.
bell t1.wav 0.35 E5
bell t2.wav 0.60 C5
sox "$work/t1.wav" "$work/t1s.wav" trim 0 0.2
sox "$work/t1s.wav" "$work/t2.wav" "$work/turn.wav"
finish turn "$work/turn.wav" -5

# turnnew: a brighter three-note marimba figure.
tone n1.wav 0.11 A5
tone n2.wav 0.11 E5
tone n3.wav 0.45 A5
sox "$work/n1.wav" "$work/n2.wav" "$work/n3.wav" "$work/turnnew.wav"
finish turnnew "$work/turnnew.wav"

# roundwinner: a quick major arpeggio.
tone r1.wav 0.10 C5
tone r2.wav 0.10 E5
tone r3.wav 0.10 G5
tone r4.wav 0.45 C6
sox "$work/r1.wav" "$work/r2.wav" "$work/r3.wav" "$work/r4.wav" "$work/roundwinner.wav"
finish roundwinner "$work/roundwinner.wav"

# winner: a fanfare arpeggio that lands on a ringing chord.
tone w1.wav 0.09 G4
tone w2.wav 0.09 C5
tone w3.wav 0.09 E5
tone w4.wav 0.09 G5
sox -n $fmt "$work/wc.wav" synth 0.55 pluck C5 pluck E5 pluck G5 pluck C6 remix 1-4 \
    fade q 0.005 0.55 0.4
sox "$work/w1.wav" "$work/w2.wav" "$work/w3.wav" "$work/w4.wav" "$work/wc.wav" "$work/winner.wav"
finish winner "$work/winner.wav"

# vrakod: a falling "wah" under a spoken "Vrako!".
espeak-ng -v en -s 170 -p 35 -w "$work/voice_raw.wav" "Vrako!"
sox "$work/voice_raw.wav" $fmt "$work/voice.wav" silence 1 0.01 1% reverse silence 1 0.01 1% reverse
sox -n $fmt "$work/wah.wav" synth 0.6 sawtooth 330-110 lowpass 1200 \
    fade q 0.01 0.6 0.3 gain -16
sox -m "$work/voice.wav" "$work/wah.wav" "$work/vrakod.wav"
finish vrakod "$work/vrakod.wav"

for f in "$out"/*.wav; do
    printf '%s %s s\n' "$(basename "$f")" "$(soxi -D "$f")"
done
