#!/bin/sh
# Measures the sound loaders on real files that the project does not ship: downloads Debian game
# data packages (apt-get download: nothing is installed), unpacks them under a scratch folder,
# loads every WAV and VOC file in them (found by their signatures) with tools/sound_probe, and
# compares each loaded buffer with sox's own decode of the same file to unsigned 8-bit mono.
# Nothing it fetches is kept in the sources.
#
#   tools/measure_real_sounds.sh [BUILD_DIR]      (default build; needs sox, python3, dpkg-deb)
#   PACKAGES="a-data b-data" tools/measure_real_sounds.sh    other packages
#   ZARN_REAL_SOUNDS=/tmp/elsewhere ...                       other scratch folder
set -eu
cd "$(dirname "$0")/.."
build=${1:-build}
work=${ZARN_REAL_SOUNDS:-/tmp/zarn_real_sounds}
packages=${PACKAGES:-"7kaa-data alienblaster-data amphetamine-data bomberclone-data ceferino-data
chromium-bsu-data freedink-data holotz-castle-data mirrormagic-data moon-lander-data netpanzer-data
njam-data pachi-data tuxtype-data bzflag-data ri-li-data lincity-ng-data scorched3d-data"}

cmake --build "$build" --target sound_probe >/dev/null
mkdir -p "$work/debs" "$work/root"
for p in $packages; do
  ls "$work/debs/${p}_"*.deb >/dev/null 2>&1 || (cd "$work/debs" && apt-get download -q "$p")
  deb=$(ls "$work/debs/${p}_"*.deb | head -1)
  [ -d "$work/root/$p" ] || dpkg-deb -x "$deb" "$work/root/$p"
done

python3 - "$work" "$build/tools/sound_probe" $packages <<'EOF'
import os, struct, subprocess, sys

work, probe, packages = sys.argv[1], sys.argv[2], sys.argv[3:]
raw_ours, raw_sox = os.path.join(work, "ours.raw"), os.path.join(work, "sox.raw")


def wav_format(path):
    """(format tag, channels, bits, data bytes declared, data bytes present, data offset) or None."""
    with open(path, "rb") as f:
        b = f.read()
    pos, fmt = 12, None
    while pos + 8 <= len(b):
        cid, size = b[pos:pos + 4], struct.unpack("<I", b[pos + 4:pos + 8])[0]
        if fmt is None and len(b) >= pos + 24:
            fmt = struct.unpack("<HHIIHH", b[pos + 8:pos + 24])
        if cid == b"data":
            return fmt[0], fmt[1], fmt[5], size, min(size, len(b) - pos - 8), pos + 8
        pos += 8 + size + (size & 1)
    return None


def sox_decode(path):
    r = subprocess.run(["sox", "-D", "-V1", path, "-t", "raw", "-e", "unsigned-integer", "-b", "8", "-c", "1",
                        raw_sox], capture_output=True)
    if r.returncode != 0:
        return None
    with open(raw_sox, "rb") as f:
        return f.read()


def load(path):
    out = subprocess.run([probe, path, raw_ours], capture_output=True, text=True, check=True).stdout.split()
    ident, rate, size, length = (int(x) for x in out)
    if ident < 0:
        return None
    with open(raw_ours, "rb") as f:
        return rate, size, f.read()


totals = {}


def count(package, key):
    totals.setdefault(package, {}).setdefault(key, 0)
    totals[package][key] += 1


def check_voc(package, path, what):
    got = load(path)
    if got is None:
        count(package, what + " refused")
        print("refused:", what, path)
        return
    decoded = sox_decode(path)
    ours = got[2]
    # A first block of sound data loads without its last four samples; sox goes on to the
    # blocks after the first.
    same = decoded is not None and len(ours) > 0 and ours == decoded[:len(ours)]
    count(package, what + " same as sox" if same else what + " DIFFERENT")
    if not same:
        print("different:", path)


for package in packages:
    for folder, _, names in os.walk(os.path.join(work, "root", package)):
        for name in sorted(names):
            path = os.path.join(folder, name)
            if os.path.islink(path) or not os.path.isfile(path):
                continue
            with open(path, "rb") as f:
                head = f.read(20)
            if head[:4] == b"RIFF" and head[8:12] == b"WAVE":
                fmt = wav_format(path)
                got = load(path)
                if fmt is None or fmt[0] != 1:
                    count(package, "wav not PCM, refused" if got is None else "wav not PCM, LOADED")
                    continue
                tag, channels, bits, declared, present, offset = fmt
                shape = "wav pcm %d-bit %s" % (bits, "mono" if channels == 1 else "%d ch" % channels)
                count(package, shape)
                count(package, "wav pcm")
                decoded = sox_decode(path)
                if got is None:
                    count(package, "wav pcm REFUSED")
                    print("refused:", path, fmt)
                    continue
                ours = got[2]
                frames = declared // (channels * ((bits + 7) // 8))
                if declared > present:
                    count(package, "wav pcm cut short")
                # sox decodes what the file holds; the loader's buffer is the stated length,
                # with silence where the file ends early.
                same = (decoded is not None and len(ours) == frames and ours[:len(decoded)] == decoded
                        and all(x == 128 for x in ours[len(decoded):]))
                if same and bits == 8 and channels == 1:
                    with open(path, "rb") as f:
                        same = ours[:present] == f.read()[offset:offset + present]  # byte for byte
                count(package, "wav pcm same as sox" if same else "wav pcm DIFFERENT")
                if not same:
                    print("different:", path, fmt, len(ours), None if decoded is None else len(decoded))
                # The same sound as sox writes it to VOC (these packages ship no VOC files).
                made = os.path.join(work, "made.voc")
                if subprocess.run(["sox", "-D", "-V1", path, made], capture_output=True).returncode == 0:
                    check_voc(package, made, "voc from sox")
            elif head.startswith(b"Creative Voice File"):
                check_voc(package, path, "voc")

grand = {}
for package in packages:
    print(package)
    for key, n in sorted(totals.get(package, {}).items()):
        print("  %-28s %5d" % (key, n))
        grand[key] = grand.get(key, 0) + n
print("all %d packages" % len(packages))
for key, n in sorted(grand.items()):
    print("  %-28s %5d" % (key, n))
EOF
