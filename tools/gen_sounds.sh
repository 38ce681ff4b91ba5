#!/bin/sh
# SPDX-License-Identifier: MIT
# Synthesises the program's sounds into assets/sounds/ (16-bit PCM, mono, 22050 Hz): the game's
# sounds and the twenty chatter sounds wave1.wav to wave20.wav (each under 2 s and 100 KB).
# Needs sox and espeak-ng. Run by hand after changing a sound; the WAV files are committed
# and the build never runs this script.
#   tools/gen_sounds.sh [game|chatter|all]    (default all)
set -eu
what=${1:-all}

here=$(cd "$(dirname "$0")/.." && pwd)
out="$here/assets/sounds"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$out"

fmt="-r 22050 -c 1 -b 16"
# Repeatable noise and dither: running the script again gives the same files.
export SOX_OPTS=-R

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

game_sounds() {
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
}

# say FILE VOICE SPEED PITCH TEXT: spoken words, silence trimmed off both ends.
say() {
    espeak-ng -v "$2" -s "$3" -p "$4" -w "$work/raw_$1" "$5"
    sox "$work/raw_$1" $fmt "$work/$1" silence 1 0.01 0.5% reverse silence 1 0.01 0.5% reverse
}

# clap FILE: one hand clap, a sharp burst of band-passed noise.
clap() {
    sox -n $fmt "$work/$1" synth 0.06 whitenoise sinc 900-4500 fade q 0.001 0.06 0.055
}

# crowd OUT SECONDS COUNT SEED FILE...: COUNT copies of the given files (taken in turn), each
# starting at a random moment within the first SECONDS and at a random level, mixed together.
crowd() {
    o=$1 len=$2 count=$3 seed=$4
    shift 4
    set -- "$@"
    srcs="$*"
    i=0
    list=""
    for start in $(awk -v n="$count" -v len="$len" -v s="$seed" \
        'BEGIN { srand(s); for (i = 0; i < n; i++) printf "%.3f:%.1f ", rand() * len, -rand() * 8 }'); do
        t=${start%%:*} g=${start##*:}
        set -- $srcs
        k=$((i % $#))
        shift $k
        sox "$work/$1" "$work/crowd_${o}_$i.wav" pad "$t" 0 gain "$g"
        list="$list $work/crowd_${o}_$i.wav"
        i=$((i + 1))
    done
    sox -m $list "$work/$o"
}

chatter_sounds() {
    # wave1 Doh: an annoyed, falling "D'oh!".
    say doh.wav en-us+m3 140 30 "Doh!"
    finish wave1 "$work/doh.wav"

    # wave2 Cough: two rough bursts of breath through the throat.
    sox -n $fmt "$work/c_air.wav" synth 0.22 pinknoise bandpass 900 1.2k fade q 0.005 0.22 0.18
    sox -n $fmt "$work/c_voice.wav" synth 0.22 sawtooth 130-95 lowpass 900 fade q 0.005 0.22 0.18 gain -10
    sox -m "$work/c_air.wav" "$work/c_voice.wav" "$work/c1.wav"
    sox "$work/c1.wav" "$work/c2.wav" gain -3 speed 0.93
    sox -n $fmt "$work/c_gap.wav" trim 0 0.12
    sox "$work/c1.wav" "$work/c_gap.wav" "$work/c2.wav" "$work/cough.wav"
    finish wave2 "$work/cough.wav"

    # wave3 Hello.
    say hello.wav en-us+f3 160 55 "Hello!"
    finish wave3 "$work/hello.wav"

    # wave4 Thank You.
    say thanks.wav en-us+m1 150 50 "Thank you!"
    finish wave4 "$work/thanks.wav"

    # wave5 Where have you been?
    say where.wav en-us+f2 175 50 "Where have you been?"
    finish wave5 "$work/where.wav"

    # wave6 Snoring: a rattling breath in, then a long whistling breath out.
    sox -n $fmt "$work/s_in.wav" synth 0.9 brownnoise lowpass 500 tremolo 28 90 \
        fade q 0.25 0.9 0.2
    sox -n $fmt "$work/s_rumble.wav" synth 0.9 sawtooth 55 lowpass 300 tremolo 28 80 \
        fade q 0.25 0.9 0.2 gain -6
    sox -m "$work/s_in.wav" "$work/s_rumble.wav" "$work/s1.wav"
    sox -n $fmt "$work/s_out.wav" synth 0.75 pinknoise bandpass 1800 2k \
        fade q 0.15 0.75 0.45 gain -8
    sox "$work/s1.wav" "$work/s_out.wav" "$work/snore.wav"
    finish wave6 "$work/snore.wav"

    # wave7 Sneezing: "ah... ah..." and an explosive "choo!".
    say ah.wav en-us+f3 120 70 "ah, ah"
    say choo.wav en-us+f3 170 60 "choo!"
    sox -n $fmt "$work/burst.wav" synth 0.3 whitenoise gain -8 highpass 1500 fade q 0.002 0.3 0.26
    sox -m "$work/choo.wav" "$work/burst.wav" "$work/choo2.wav"
    sox "$work/ah.wav" "$work/choo2.wav" "$work/sneeze.wav"
    finish wave7 "$work/sneeze.wav"

    # wave8 Sorry.
    say sorry.wav en-us+m3 140 45 "Sorry!"
    finish wave8 "$work/sorry.wav"

    # wave9 Welcome.
    say welcome.wav en-us+f2 150 55 "Welcome!"
    finish wave9 "$work/welcome.wav"

    # wave10 Yeehaa: a rodeo whoop.
    say yeehaa.wav en-us+m5 150 85 "Yee haaa!"
    finish wave10 "$work/yeehaa.wav"

    # wave11 Yippee.
    say yippee.wav en-us+f4 160 90 "Yippee!"
    finish wave11 "$work/yippee.wav"

    # wave12 Oh No.
    say ohno.wav en-us+m3 120 40 "Oh no!"
    finish wave12 "$work/ohno.wav"

    # wave13 Applause: a room of hands clapping.
    clap clap1.wav
    sox "$work/clap1.wav" "$work/clap2.wav" speed 0.8
    sox "$work/clap1.wav" "$work/clap3.wav" speed 1.25
    crowd applause_raw.wav 1.5 160 13 clap1.wav clap2.wav clap3.wav
    sox "$work/applause_raw.wav" "$work/applause.wav" fade q 0.05 -0 0.4
    finish wave13 "$work/applause.wav"

    # wave14 Honk: two blasts of a bicycle horn.
    sox -n $fmt "$work/h1.wav" synth 0.22 square 415 square 523 remix 1 gain -8 lowpass 2500 \
        fade q 0.01 0.22 0.05
    sox -n $fmt "$work/h_gap.wav" trim 0 0.08
    sox "$work/h1.wav" "$work/h_gap.wav" "$work/h1.wav" "$work/honk.wav"
    finish wave14 "$work/honk.wav" -12

    # wave15 Oooh: an impressed, drawn-out "ooh".
    say oooh.wav en-us+f3 80 70 "Ooooh!"
    finish wave15 "$work/oooh.wav"

    # wave16 Razzberry: a wet, buzzing blow through the lips.
    sox -n $fmt "$work/r_buzz.wav" synth 0.9 sawtooth 95-80 tremolo 31 70 lowpass 1600 \
        fade q 0.02 0.9 0.25
    sox -n $fmt "$work/r_air.wav" synth 0.9 pinknoise bandpass 1200 1.5k tremolo 31 90 \
        fade q 0.02 0.9 0.25 gain -6
    sox -m "$work/r_buzz.wav" "$work/r_air.wav" "$work/razz.wav"
    finish wave16 "$work/razz.wav"

    # wave17 Cheer: a crowd shouting "hooray".
    say yay1.wav en-us+m3 150 60 "Hooray!"
    say yay2.wav en-us+f3 160 80 "Yay!"
    say yay3.wav en-us+m1 140 70 "Woo hoo!"
    crowd cheer_raw.wav 0.5 12 17 yay1.wav yay2.wav yay3.wav
    sox -n $fmt "$work/cheer_bed.wav" synth 1.6 pinknoise bandpass 1000 1.5k \
        fade q 0.1 1.6 0.6 gain -30
    sox -m "$work/cheer_raw.wav" "$work/cheer_bed.wav" "$work/cheer_mix.wav"
    sox "$work/cheer_mix.wav" "$work/cheer.wav" fade q 0.02 -0 0.3
    finish wave17 "$work/cheer.wav"

    # wave18 Woman Laughing.
    say wlaugh.wav en-us+f4 190 85 "ha ha ha ha ha ha!"
    finish wave18 "$work/wlaugh.wav"

    # wave19 Man Laughing.
    say mlaugh.wav en-us+m2 170 20 "ho ho ho, ha ha ha!"
    finish wave19 "$work/mlaugh.wav"

    # wave20 Crying: sobbing "waah, boo hoo hoo".
    say cry.wav en-us+f3 145 85 "Waaah! Boo hoo hoo!"
    sox "$work/cry.wav" "$work/crying.wav" tremolo 6 40
    finish wave20 "$work/crying.wav"
}

case "$what" in
game) game_sounds ;;
chatter) chatter_sounds ;;
all)
    game_sounds
    chatter_sounds
    ;;
*)
    echo "usage: $0 [game|chatter|all]" >&2
    exit 2
    ;;
esac

for f in "$out"/*.wav; do
    printf '%s %s s\n' "$(basename "$f")" "$(soxi -D "$f")"
done
