#!/bin/sh
# Makes the small sound files the sound tests load. Run from anywhere; needs sox.
set -eu
cd "$(dirname "$0")"

# 441 Hz at 11025 samples per second, 8-bit unsigned mono: 25 samples a cycle.
sox -n -r 11025 -b 8 -c 1 -e unsigned-integer -t wavpcm tone_u8_mono.wav synth 0.1 sine 441 vol 0.5
# 16-bit stereo at 22050: accepted, its bytes played as 8-bit mono.
sox -n -r 22050 -b 16 -c 2 -e signed-integer -t wavpcm tone_s16_stereo.wav synth 0.05 sine 441
# A-law: not PCM, refused.
sox -n -r 8000 -c 1 -e a-law -t wav tone_alaw.wav synth 0.05 sine 441
# VOC at 8000 samples per second: one sound data block with time constant 131.
sox -n -r 8000 -b 8 -c 1 -e unsigned-integer tone_u8.voc synth 0.05 sine 441

# The 8-bit tone with a LIST chunk of odd size (27 bytes and its pad byte) spliced in between
# "fmt " and "data".
le32() {
  printf "\\$(printf %03o $(($1 & 255)))\\$(printf %03o $((($1 >> 8) & 255)))"
  printf "\\$(printf %03o $((($1 >> 16) & 255)))\\$(printf %03o $((($1 >> 24) & 255)))"
}
src=tone_u8_mono.wav
total=$(wc -c < "$src")
{
  printf 'RIFF'
  le32 $((total - 8 + 8 + 27 + 1))
  dd if="$src" bs=1 skip=8 count=28 2>/dev/null   # "WAVE" and the 24-byte "fmt " chunk
  printf 'LIST'
  le32 27
  printf 'INFOICMT'
  le32 15
  printf 'Zarn test tone\000'
  printf '\000'                                   # the pad byte
  dd if="$src" bs=1 skip=36 2>/dev/null           # "data" and the rest
} > tone_u8_list.wav
