#!/bin/sh
# Fails when a source file includes across a forbidden boundary: the rules of HACKING.md
# ("Layers"), one line per folder in the table below.
#   tools/check_includes.sh               every tracked .cpp and .h file
#   tools/check_includes.sh FILE...       these files (paths from the top of the tree)
#   tools/check_includes.sh --self-test   plants bad includes in a scratch tree and checks that
#                                         each one is caught and a good file passes
set -eu

# What each folder may include. Names on the right:
#   game, display, imaging, sprites, sound, input, support (all five of the support layer),
#   umbrella (include/zarn/), platform (the public platform/*.h), platform/common,
#   platform/headless, platform/sdl, platform/web, platform/peer, tests, examples; SDL, emscripten
#   and X11 for those system headers. Every other system header (<cstdint>, <unistd.h>, ...) may be
#   included anywhere; so may a file of the same folder.
RULES='
game               game support platform
sprites            sprites imaging display platform
imaging            imaging display platform
display            display platform
sound              sound platform
input              input platform
umbrella           umbrella support platform
platform           platform
platform/common    platform platform/common
platform/headless  platform platform/common platform/headless
platform/sdl       platform platform/common platform/sdl SDL
platform/web       platform platform/common platform/web emscripten
platform/peer      platform platform/peer SDL
tests              game support umbrella platform platform/common platform/headless platform/sdl platform/peer tests examples X11
bench              game support platform platform/common platform/headless platform/peer platform/web tests examples
fuzz               umbrella support platform platform/headless
tools              support platform SDL
examples           umbrella support platform
'

check() {
    [ "$#" -gt 0 ] || return 0
    printf '%s\n' "$RULES" | awk '
        # The layer or folder a path (from the top of the tree) belongs to.
        function area(p,    a) {
            if (p ~ /^platform\/[^\/]+$/) return "platform"
            if (p ~ /^platform\//) { split(p, a, "/"); return "platform/" a[2] }
            if (p ~ /^(display|imaging|sprites|sound|input)\//) { split(p, a, "/"); return a[1] }
            if (p ~ /^(include\/)?zarn\//) return "umbrella"
            split(p, a, "/")
            return a[1]
        }
        # A path relative to the including file, with "." and ".." worked out.
        function resolve(dir, rel,    parts, n, i, out, k, s) {
            n = split(dir "/" rel, parts, "/")
            k = 0
            for (i = 1; i <= n; i++) {
                if (parts[i] == "" || parts[i] == ".") continue
                if (parts[i] == "..") { if (k > 0) k--; continue }
                out[++k] = parts[i]
            }
            s = ""
            for (i = 1; i <= k; i++) s = s (i > 1 ? "/" : "") out[i]
            return s
        }
        FNR == NR {
            if (NF) allowed[$1] = " " substr($0, index($0, $2)) " "
            sub(/ support /, " display imaging sprites sound input ", allowed[$1])
            next
        }
        FNR == 1 {
            from = area(FILENAME)
            dir = FILENAME; sub(/\/?[^\/]*$/, "", dir)
            if (!(from in allowed)) {
                printf "%s: no include rule for the folder %s (add one to tools/check_includes.sh and HACKING.md)\n", FILENAME, from
                bad++
            }
        }
        /^[ \t]*#[ \t]*include[ \t]*[<"]/ {
            line = $0
            sub(/^[ \t]*#[ \t]*include[ \t]*/, "", line)
            quoted = substr(line, 1, 1) == "\""
            name = substr(line, 2)
            sub(/[">].*$/, "", name)
            if (quoted && (name !~ /\// || name ~ /^\.\.?\//)) {
                # Beside the file, or reached through "..": judged by where it really lies.
                target = resolve(dir, name)
                if (area(target) == from) next
                to = area(target)
            } else if (quoted) {
                to = area(name)
            } else if (name ~ /^SDL/) {
                to = "SDL"
            } else if (name ~ /^emscripten/) {
                to = "emscripten"
            } else if (name ~ /^X11\//) {
                to = "X11"
            } else if (name ~ /^zarn\//) {
                to = "umbrella"
            } else {
                next
            }
            if (!(from in allowed) || index(allowed[from], " " to " ") == 0) {
                printf "%s:%d: %s may not include %s (%s)\n", FILENAME, FNR, from, name, to
                bad++
            }
        }
        END { exit bad > 0 }
    ' - "$@"
}

self_test() {
    scratch=$(mktemp -d)
    trap 'rm -rf "$scratch"' EXIT
    mkdir -p "$scratch/display" "$scratch/game" "$scratch/platform/headless" "$scratch/platform/common" \
             "$scratch/newfolder" "$scratch/imaging" "$scratch/sprites"
    cat > "$scratch/display/planted.cpp" <<'EOF'
#include <SDL.h>
#include "game/game.h"
#include "platform/common/backend.h"
#include "../game/states.h"
#include "display/display.h"
#include "platform/video.h"
#include <cstdint>
#include "imaging/bmp.h"
#include "../sprites/bob.h"
EOF
    cat > "$scratch/game/planted.cpp" <<'EOF'
#include "platform/sdl/sdl_backend.h"
#  include "platform/headless/headless.h"
#include "input/keyboard.h"
EOF
    # (the directive spelt through %s, so that no search for the browser's headers finds this line)
    printf '#%s <emscripten.h>\n#include "platform/common/backend.h"\n' include > "$scratch/platform/headless/planted.cpp"
    printf '#include "display/display.h"\n' > "$scratch/platform/common/planted.cpp"
    printf '#include "sound/sound.h"\n' > "$scratch/newfolder/planted.cpp"
    printf '#include "sprites/bob.h"\n#include "input/mouse.h"\n' > "$scratch/imaging/planted.cpp"
    printf '#include "imaging/bmp.h"\n#include "../display/display.h"\n#include "platform/window.h"\n#include <vector>\n' \
        > "$scratch/sprites/clean.cpp"
    # Thirteen planted includes, each to be named (the layers within the support layer among them:
    # the display under imaging, imaging under the sprites), and a folder with no rule.
    expected='display/planted.cpp:1: display may not include SDL.h (SDL)
display/planted.cpp:2: display may not include game/game.h (game)
display/planted.cpp:3: display may not include platform/common/backend.h (platform/common)
display/planted.cpp:4: display may not include ../game/states.h (game)
display/planted.cpp:8: display may not include imaging/bmp.h (imaging)
display/planted.cpp:9: display may not include ../sprites/bob.h (sprites)
game/planted.cpp:1: game may not include platform/sdl/sdl_backend.h (platform/sdl)
game/planted.cpp:2: game may not include platform/headless/headless.h (platform/headless)
imaging/planted.cpp:1: imaging may not include sprites/bob.h (sprites)
imaging/planted.cpp:2: imaging may not include input/mouse.h (input)
newfolder/planted.cpp: no include rule for the folder newfolder (add one to tools/check_includes.sh and HACKING.md)
newfolder/planted.cpp:1: newfolder may not include sound/sound.h (sound)
platform/common/planted.cpp:1: platform/common may not include display/display.h (display)
platform/headless/planted.cpp:1: platform/headless may not include emscripten.h (emscripten)'
    cd "$scratch"
    if got=$(check display/planted.cpp game/planted.cpp imaging/planted.cpp newfolder/planted.cpp \
                   platform/common/planted.cpp platform/headless/planted.cpp); then
        echo "check_includes self-test: the planted includes passed" >&2
        exit 1
    fi
    if [ "$got" != "$expected" ]; then
        printf 'check_includes self-test: expected\n%s\ngot\n%s\n' "$expected" "$got" >&2
        exit 1
    fi
    if ! check sprites/clean.cpp; then
        echo "check_includes self-test: a file within the rules was refused" >&2
        exit 1
    fi
    echo "check_includes self-test: every planted include caught"
}

if [ "${1:-}" = "--self-test" ]; then
    self_test
    exit 0
fi

cd "$(dirname "$0")/.."
if [ "$#" -eq 0 ]; then
    # Every tracked C++ file, plus new ones not yet added (but not ignored ones); outside a git
    # checkout, every one below the top but the build trees.
    if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
        # shellcheck disable=SC2046
        set -- $(git ls-files --cached --others --exclude-standard -- '*.cpp' '*.h' | sort -u)
    else
        # shellcheck disable=SC2046
        set -- $(find . -path './build*' -prune -o \( -name '*.cpp' -o -name '*.h' \) -print | sed 's|^\./||' | sort)
    fi
fi
if check "$@"; then
    echo "check_includes: $# files keep to the layers"
else
    echo "check_includes: includes across a forbidden boundary (see HACKING.md, Layers)" >&2
    exit 1
fi
