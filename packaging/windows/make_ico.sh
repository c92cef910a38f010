#!/bin/sh
# Packs square PNG pictures into one Windows icon file, each picture an entry of its own, stored
# as PNG (which Windows reads since Vista): a 6-byte header, a 16-byte entry for each picture (its
# width and height, 0 standing for 256; one plane of 32 bits a pixel; its size and where it
# starts), then the pictures one after another.
# Usage: make_ico.sh OUTPUT.ico PICTURE.png...
set -eu
out=$1
shift

# le N VALUE: VALUE as N little-endian bytes.
le() {
  v=$2
  i=0
  while [ $i -lt "$1" ]; do
    # shellcheck disable=SC2059
    printf "\\$(printf %03o $((v % 256)))"
    v=$((v / 256))
    i=$((i + 1))
  done
}

# be32 FILE OFFSET: the big-endian 32-bit number at OFFSET in FILE.
be32() {
  od -An -v -tu1 -j "$2" -N 4 "$1" | awk '{ print (($1 * 256 + $2) * 256 + $3) * 256 + $4 }'
}

{
  le 2 0
  le 2 1 # an icon, not a cursor
  le 2 $#
  offset=$((6 + 16 * $#))
  for png in "$@"; do
    [ "$(od -An -v -tx1 -N 8 "$png" | tr -d ' \n')" = 89504e470d0a1a0a ] || {
      echo "make_ico: $png is not a PNG file" >&2
      exit 1
    }
    width=$(be32 "$png" 16)
    height=$(be32 "$png" 20)
    if [ "$width" -ne "$height" ] || [ "$width" -lt 1 ] || [ "$width" -gt 256 ]; then
      echo "make_ico: $png is $width x $height; an icon's pictures are square, 256 wide at most" >&2
      exit 1
    fi
    size=$(wc -c <"$png")
    le 1 $((width % 256))
    le 1 $((height % 256))
    le 1 0 # no palette
    le 1 0
    le 2 1  # planes
    le 2 32 # bits a pixel
    le 4 "$size"
    le 4 $offset
    offset=$((offset + size))
  done
  cat "$@"
} >"$out.part"
mv "$out.part" "$out"
