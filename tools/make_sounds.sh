#!/bin/sh
# Synthesises the game's four sounds with sox into data/system/Media/.
# Every sound is made here from plain tones; nothing is sampled.
#   The Microsoft Sound.wav  celebration click: a rising bright arpeggio
#   Chord.wav                a miss: a short dull falling buzz
#   Chimes.wav               an idiom found: three bell notes
#   Tada.wav                 a board completed: a short pickup and a big chord
# Pitches are semitones from A4 (440 Hz): %3 = C5, %7 = E5, %10 = G5, %15 = C6.
# Usage: tools/make_sounds.sh [output folder]
set -eu

here=$(cd "$(dirname "$0")" && pwd)
out=${1:-$here/../data/system/Media}
mkdir -p "$out"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# 16-bit mono PCM at 44100 Hz; -D keeps the output free of random dither so
# a re-run gives the same bytes.
fmt="-D -r 44100 -b 16 -c 1"

# note FILE START LENGTH PITCH [VOICE]: one plucked or bell-like note that
# starts START seconds into the sound.
note() {
    voice=${5:-pluck}
    # shellcheck disable=SC2086
    sox $fmt -n "$tmp/$1.wav" synth "$3" "$voice" "$4" fade q 0.005 "$3" "$3" \
        pad "$2" 0
}

# mix OUTPUT NOTE...: sums the notes, levels the result to -1 dBFS.
mix() {
    target=$1; shift
    set -- $(for n in "$@"; do printf '%s ' "$tmp/$n.wav"; done)
    if [ $# -eq 1 ]; then
        # shellcheck disable=SC2086
        sox $fmt "$1" "$target" gain -n -1
    else
        # shellcheck disable=SC2086
        sox $fmt -m "$@" "$target" gain -n -1
    fi
}

# Celebration: C5 E5 G5 C6 E6 rising 90 ms apart, then ringing together.
note m1 0.00 1.25 %3
note m2 0.09 1.16 %7
note m3 0.18 1.07 %10
note m4 0.27 0.98 %15
note m5 0.36 0.89 %19
note m6 0.36 0.89 %22 sine
mix "$out/The Microsoft Sound.wav" m1 m2 m3 m4 m5 m6

# Miss: two detuned square tones sliding down, muffled by a low-pass.
sox $fmt -n "$tmp/c1.wav" synth 0.4 square 196-131 fade q 0.01 0.4 0.25
sox $fmt -n "$tmp/c2.wav" synth 0.4 square 185-123 fade q 0.01 0.4 0.25
sox $fmt -m "$tmp/c1.wav" "$tmp/c2.wav" "$tmp/c.wav" gain -6 lowpass 600 lowpass 900
sox $fmt "$tmp/c.wav" "$out/Chord.wav" gain -n -7

# Found: G5 E5 C6, a bright three-note chime with a sine shimmer.
note h1 0.00 0.30 %10
note h2 0.10 0.30 %7
note h3 0.20 0.32 %15
note h4 0.20 0.32 %27 sine
mix "$tmp/h.wav" h1 h2 h3 h4
sox $fmt "$tmp/h.wav" "$out/Chimes.wav" fade q 0 0.52 0.12

# Completed: a short G4-B4-D5 "ta", then a held C5-E5-G5-C6 "da".
note t1 0.00 0.14 %-2
note t2 0.00 0.14 %2
note t3 0.00 0.14 %5
note d1 0.16 0.86 %3
note d2 0.16 0.86 %7
note d3 0.16 0.86 %10
note d4 0.16 0.86 %15
note d5 0.16 0.86 %3 square
mix "$tmp/t.wav" t1 t2 t3 d1 d2 d3 d4 d5
sox $fmt "$tmp/t.wav" "$out/Tada.wav" fade q 0 1.02 0.3

for f in "The Microsoft Sound.wav" Chord.wav Chimes.wav Tada.wav; do
    printf '%s: %s s\n' "$f" "$(soxi -D "$out/$f")"
done
