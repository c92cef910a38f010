#!/bin/sh
# BMP files as the tools people use write them (ImageMagick in its default and older forms,
# netpbm, Pillow, SDL), plus the hand-built shapes of the fuzz seeds that no tool writes, made
# here in a fresh folder; each must load pixel-exact against ImageMagick's decode and, where SDL
# reads the file, against SDL's. Usage: tool_files.sh BMP_PROBE FOLDER
set -eu
probe=$1
out=$2
here=$(cd "$(dirname "$0")" && pwd)
rm -rf "$out"
mkdir -p "$out"
cd "$out"

# Pillow is Debian's python3-pil, which belongs to the system's python.
pil_python=/usr/bin/python3

ppm() {  # width height awk-expression-for-"r g b"
    awk -v w="$1" -v h="$2" "BEGIN {
        print \"P3\"; print w, h; print 255
        for (y = 0; y < h; y++) for (x = 0; x < w; x++) { $3 }
    }"
}
# Odd widths, so that every depth pads its rows; a wider one for the aligned cases.
ppm 37 23 'print (x*37+y*3)%256, (y*29+7)%256, (x*y*11)%256' > many.ppm
ppm 36 23 'print (x*37+y*3)%256, (y*29+7)%256, (x*y*11)%256' > many36.ppm
ppm 37 23 'c = (x+3*y)%200; print (c*7)%256, (255-c)%256, (c*13)%256' > pal200.ppm
ppm 37 23 'c = (x+y)%13; print c*19, 255-c*17, (c*5)%256' > pal13.ppm
ppm 37 23 'c = (x*x+y)%2; print c*200+20, c*30+40, 90' > pal2.ppm
ppm 37 23 'v = (x*7+y*11)%256; print v, v, v' > grey.ppm

# ImageMagick: its default (V5 header; RLE8 for palette pictures), BMP3, BMP2 (OS/2 header).
convert many.ppm -type TrueColor im_v5_24.bmp
convert many.ppm -type TrueColor BMP3:im_bmp3_24.bmp
convert many36.ppm -type TrueColor BMP3:im_bmp3_24_width36.bmp
convert many.ppm -type TrueColor BMP2:im_bmp2_24.bmp
convert many.ppm -type TrueColorAlpha -channel A -fx '(i+j)%7/7' +channel im_v5_32_alpha.bmp
convert many.ppm -type TrueColor -define bmp:subtype=RGB565 im_v5_16_565.bmp
convert many.ppm -type TrueColor -define bmp:subtype=RGB555 im_v5_16_555.bmp
convert many.ppm -type TrueColorAlpha -channel A -fx 'i%2' +channel -define bmp:subtype=ARGB1555 im_v5_16_1555.bmp
convert many.ppm -type TrueColorAlpha -channel A -fx 'j%3/3' +channel -define bmp:subtype=ARGB4444 im_v5_16_4444.bmp
convert pal200.ppm +dither -type Palette im_v5_rle8.bmp
convert pal200.ppm +dither -type Palette -compress None im_v5_8.bmp
convert pal200.ppm +dither -type Palette -compress RLE BMP3:im_bmp3_rle8.bmp
convert pal200.ppm +dither -type Palette -compress None BMP3:im_bmp3_8.bmp
convert pal200.ppm +dither -type Palette BMP2:im_bmp2_8.bmp
convert pal13.ppm +dither -type Palette -compress None im_v5_4.bmp
convert pal13.ppm +dither -type Palette -compress None BMP3:im_bmp3_4.bmp
convert pal2.ppm +dither -type Palette -compress None im_v5_1.bmp
convert grey.ppm -type Grayscale im_v5_grey.bmp

# netpbm: biSizeImage 0, colour tables as long as the colours, OS/2 headers on request.
for bpp in 1 4 8 24; do
    src=many.ppm
    case $bpp in 1) src=pal2.ppm ;; 4) src=pal13.ppm ;; 8) src=pal200.ppm ;; esac
    ppmtobmp -bpp $bpp "$src" > netpbm_$bpp.bmp 2>/dev/null
    ppmtobmp -os2 -bpp $bpp "$src" > netpbm_os2_$bpp.bmp 2>/dev/null
done

# Pillow: 40-byte headers; 32-bit RGBA stored as blue, green, red, alpha.
"$pil_python" - <<'EOF'
from PIL import Image
rgb = Image.open("many.ppm")
rgb.save("pil_24.bmp")
rgba = rgb.convert("RGBA")
rgba.putalpha(Image.linear_gradient("L").resize(rgb.size))
rgba.save("pil_32_rgba.bmp")
Image.open("pal200.ppm").quantize(200, dither=Image.Dither.NONE).save("pil_8_palette.bmp")
Image.open("grey.ppm").convert("L").save("pil_8_grey.bmp")
Image.open("pal2.ppm").convert("1", dither=Image.Dither.NONE).save("pil_1.bmp")
EOF

# SDL_SaveBMP of an 8-bit, a 24-bit and a 32-bit surface with alpha.
"$probe" write-sdl .

# The shapes no tool writes (run-length 4-bit, top-down rows, bit fields behind a 40-byte
# header, ...): the good ones among the fuzz seeds.
python3 "$here/../../fuzz/make_seeds.py" seeds >/dev/null
cp seeds/bmp/ok_*.bmp .
rm -rf seeds

# Refused on purpose: 4-bit colour channels, which ImageMagick and SDL widen differently.
refused=" im_v5_16_4444.bmp "

fail=0
count=0
for f in *.bmp; do
    count=$((count + 1))
    size=$(convert "$f" -alpha off -depth 8 -write "rgb:$f.rgb" -format '%w %h' info: 2>/dev/null) ||
        { echo "$f: ImageMagick cannot read it" >&2; fail=1; continue; }
    want="exact"
    case "$refused" in *" $f "*) want="refused" ;; esac
    # shellcheck disable=SC2086
    im=$("$probe" compare "$f" "$f.rgb" $size) || true
    sdl=$("$probe" compare-sdl "$f") || true
    printf '%-40s ImageMagick: %-8s SDL: %s\n' "$f" "$(echo "$im" | tail -1)" "$(echo "$sdl" | tail -1)"
    case "$im" in *"$want") ;; *) echo "$im" >&2; fail=1 ;; esac
    case "$sdl" in *"$want" | *peer-refused) ;; *) echo "$sdl" >&2; fail=1 ;; esac
done
echo "$count files"
exit $fail
