#!/bin/sh
# Measures bmp_load on real pictures the project does not ship: the BMP files of Debian game
# packages, fetched with apt-get download (never installed) and unpacked into /tmp. Of the files
# that ImageMagick decodes it counts how many load pixel-exact, how many are refused and how many
# load wrong, and also checks each against SDL_LoadBMP where SDL reads it.
# Usage: tools/measure_real_bmp.sh [PACKAGE...]   (needs a configured build/ with SDL)
set -eu
cd "$(dirname "$0")/.."
root=$(pwd)
work=${ZARN_REAL_BMP_DIR:-/tmp/zarn_real_bmp}
# Games of many kinds and ages whose data holds BMP files.
packages=${*:-"a7xpg-data barrage gnurobbo-data gunroar-data icebreaker lgeneral-data lmarbles ltris
mu-cade-data njam-data noiz2sa-data parsec47-data rrootage-data titanion-data torus-trooper-data"}

# ZARN_BMP_PROBE may name another build's probe (of an older loader, say) to compare with.
probe=${ZARN_BMP_PROBE:-$root/build/tests/bmp_probe}
[ -n "${ZARN_BMP_PROBE:-}" ] || cmake --build build --target bmp_probe >/dev/null

mkdir -p "$work/debs" "$work/files" "$work/raw"
for p in $packages; do
    if ! ls "$work/debs/${p}_"*.deb >/dev/null 2>&1; then
        (cd "$work/debs" && apt-get download "$p" >/dev/null 2>&1) || { echo "cannot download $p" >&2; continue; }
    fi
    [ -d "$work/files/$p" ] || dpkg-deb -x "$work/debs/${p}_"*.deb "$work/files/$p"
done

total=0 exact=0 refused=0 wrong=0 undecodable=0 sdl_exact=0 sdl_other=0
list=$work/results.txt
: > "$list"
for p in $packages; do
    [ -d "$work/files/$p" ] || continue
    find "$work/files/$p" -type f -iname '*.bmp' | sort > "$work/names"
    while IFS= read -r f; do
        raw=$work/raw/picture.rgb
        if ! size=$(convert "$f[0]" -alpha off -depth 8 -write "rgb:$raw" -format '%w %h' info: 2>/dev/null); then
            undecodable=$((undecodable + 1))
            echo "not decoded by ImageMagick: $f" >> "$list"
            continue
        fi
        total=$((total + 1))
        # shellcheck disable=SC2086
        verdict=$("$probe" compare "$f" "$raw" $size | tail -1) || true
        case $verdict in
            exact) exact=$((exact + 1)) ;;
            refused) refused=$((refused + 1)); echo "refused: $f" >> "$list" ;;
            *) wrong=$((wrong + 1)); echo "WRONG: $f" >> "$list" ;;
        esac
        sdl=$("$probe" compare-sdl "$f" | tail -1) || true
        case $sdl in
            exact) sdl_exact=$((sdl_exact + 1)) ;;
            peer-refused | refused) ;;
            *) sdl_other=$((sdl_other + 1)); echo "differs from SDL: $f" >> "$list" ;;
        esac
    done < "$work/names"
done

cat "$list"
echo "packages: $(echo $packages | wc -w), BMP files ImageMagick decodes: $total (not decoded: $undecodable)"
echo "pixel-exact: $exact, refused: $refused, wrong: $wrong"
echo "also exact against SDL_LoadBMP: $sdl_exact, differing from SDL: $sdl_other"
if [ "$total" -gt 0 ]; then
    awk -v e="$exact" -v t="$total" 'BEGIN { printf "exact share: %.1f %%\n", 100 * e / t }'
fi
[ "$wrong" -eq 0 ]
