#!/bin/sh
# Writes the BMP fixtures of the picture tests with ImageMagick, from pictures described here as
# plain PPM text. The tests compute the same colours and compare the loaded pixels with them.
#   gradient256.ppm: 16 x 16, 256 distinct colours: red 16x+3, green 16y+5, blue (7x+11y) mod 256
#   colours24.ppm:   12 x 5, red 20x+7, green 50y+1, blue (x*y*13) mod 256
#   few_colours:     12 x 4, 48 colours (red 2*(12y+x), green 9, blue 200), still a 256-entry table
#   narrow24:        6 x 3, the rows padded to 4 bytes by the encoder
set -eu
cd "$(dirname "$0")"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

ppm() {  # width height awk-expression-for-"r g b"
    awk -v w="$1" -v h="$2" "BEGIN {
        print \"P3\"; print w, h; print 255
        for (y = 0; y < h; y++) for (x = 0; x < w; x++) { $3 }
    }"
}

ppm 16 16 'print (16*x+3)%256, (16*y+5)%256, (7*x+11*y)%256' > "$tmp/gradient256.ppm"
ppm 12 5 'print (20*x+7)%256, (50*y+1)%256, (x*y*13)%256' > "$tmp/colours24.ppm"
ppm 12 4 'print (2*(12*y+x))%256, 9, 200' > "$tmp/few_colours.ppm"
ppm 6 3 'print 10*x, 40*y, 99' > "$tmp/narrow24.ppm"

convert "$tmp/gradient256.ppm" +dither -type Palette -compress None BMP3:gradient256_8bit.bmp
convert "$tmp/colours24.ppm" -type TrueColor -compress None BMP3:colours_24bit.bmp
convert "$tmp/few_colours.ppm" +dither -type Palette -compress None BMP3:few_colours_8bit.bmp
convert "$tmp/narrow24.ppm" -type TrueColor -compress None BMP3:narrow_24bit.bmp
