#!/bin/sh
# The Windows installer under Wine: its size; a silent install into a scratch folder (the files
# of the portable archive and the uninstaller, the program carrying its icon and version, the
# Start menu shortcut, the entry in Windows' installed programs); the installed game started
# under the X server (DISPLAY set by the caller) up to its main menu; then the silent uninstaller,
# which must take away every file, the shortcut and the entry.
# Usage: installer.sh WINDOWS_BUILD_DIR OUTPUT_FOLDER   (WINEPREFIX names the Wine prefix)
set -u
build=$1
out=$2
source=$(cd "$(dirname "$0")/../.." && pwd)
setup=$build/zarn-tennis-setup.exe
portable=$build/zip/zarn-tennis
rm -rf "$out"
mkdir -p "$out/elsewhere"
pid=""

# fail, await_window and await from the end-to-end scripts' shared pieces.
. "$source/tests/sdl/screenshots.sh"
fail_prefix=installer
export WINEPREFIX="${WINEPREFIX:-$source/build-windows/wine}"
# No menu entries or file associations for this machine's own desktop from what Wine installs.
export WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe=d"
wine() { "$source/tools/wine.sh" "$@" 2>>"$out/wine-stderr.txt"; }

[ -f "$setup" ] || fail "no $setup: run tools/build-windows.sh first"
size=$(wc -c <"$setup")
echo "installer: $setup is $size bytes"
[ "$size" -le 5000000 ] || fail "the installer is $size bytes, more than 5 MB"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")

# Silent install into the scratch folder, as Windows sees it on Wine's drive Z:. /D takes the
# rest of the command line only while Wine passes it unquoted, that is without spaces.
case $out in *" "*) fail "the output folder's path holds a space, which /D cannot take: $out" ;; esac
installed=$out/zarn-tennis
dest="Z:$(printf '%s' "$installed" | tr / '\\')"
wine "$setup" /S "/D=$dest" || fail "the silent install failed (exit $?)"
(cd "$portable" && find . -type f | sort) >"$out/expected.txt"
echo ./uninstall.exe >>"$out/expected.txt"
sort -o "$out/expected.txt" "$out/expected.txt"
(cd "$installed" 2>/dev/null && find . -type f | sort) >"$out/installed.txt"
cmp -s "$out/expected.txt" "$out/installed.txt" ||
  fail "installed files differ from the portable archive's and the uninstaller: $(diff "$out/expected.txt" "$out/installed.txt" | grep '^[<>]' | head -n 5)"

# The program's resources: its icon and its version, as the Explorer and the shortcut show them.
x86_64-w64-mingw32-windres -i "$installed/zarn-tennis.exe" -O rc >"$out/resources.rc" 2>&1 ||
  fail "cannot read the program's resources: $(head -n 3 "$out/resources.rc")"
grep -q 'RT_GROUP_ICON' "$out/resources.rc" || fail "the installed program carries no icon"
grep -q "VALUE \"ProductVersion\", \"$version\"" "$out/resources.rc" ||
  fail "the installed program does not carry the version $version"

# The Start menu shortcut (all users') starts the installed program, with its icon.
shortcut="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Zarn Tennis.lnk"
[ -f "$shortcut" ] || fail "no Start menu shortcut at $shortcut"
strings -a -el "$shortcut" | grep -qF "$dest\\zarn-tennis.exe" || fail "the shortcut does not name $dest\\zarn-tennis.exe"

# The entry in Windows' installed programs: each value, NAME TYPE PATTERN (an extended regular
# expression for the whole value).
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\ZarnTennis'
wine reg query "$key" | tr -d '\r' >"$out/registry.txt" || fail "no entry in the installed programs ($key)"
# printf, not echo: echo would take the backslashes of a Windows path (the \t of \tmp) as escapes.
escaped=$(printf '%s\n' "$dest" | sed 's/[\\.]/\\&/g')
while read -r name type pattern; do
  value=$(awk -v n="$name" -v t="$type" '$1 == n && $2 == t { sub(/^ *[^ ]+ +[^ ]+ +/, ""); print }' "$out/registry.txt")
  printf '%s\n' "$value" | grep -Eqx "$pattern" || fail "the installed programs' $name is '$value' ($type), expected $pattern"
done <<TABLE
DisplayName REG_SZ Zarn Tennis
DisplayVersion REG_SZ $version
Publisher REG_SZ The Zarn Tennis developers
DisplayIcon REG_SZ $escaped\\\\zarn-tennis\\.exe,0
UninstallString REG_SZ "$escaped\\\\uninstall\\.exe"
QuietUninstallString REG_SZ "$escaped\\\\uninstall\\.exe" /S
InstallLocation REG_SZ $escaped
EstimatedSize REG_DWORD 0x[0-9a-f]+
TABLE
# The size in KB, as Windows shows it: what the folder holds, give or take rounding per file.
kb=$(($(awk '$1 == "EstimatedSize" { print $3 }' "$out/registry.txt")))
du_kb=$(du -sk "$installed" | cut -f 1)
[ "$kb" -ge $((du_kb / 2)) ] && [ "$kb" -le $((du_kb * 2)) ] || fail "EstimatedSize is $kb KB, the folder holds $du_kb KB"

# The installed game, started elsewhere, shows its main menu: it found its data beside itself.
(cd "$out/elsewhere" && SDL_AUDIODRIVER=dummy exec "$source/tools/wine.sh" "$installed/zarn-tennis.exe") 2>>"$out/wine-stderr.txt" &
pid=$!
await_window "Zarn Game Console"
SAMPLE=25 # the main menu's gold title: many gold pixels on the screen (one in 16 counted)
await 30 menu 0 0 640 480 'r > 200 && g > 120 && b < 110' 500 "the main menu's title"
kill "$pid" 2>/dev/null
wait "$pid"
pid=""

# The silent uninstaller copies itself elsewhere and returns at once: its copy takes the files,
# the shortcut and the entry away within 60 s.
wine "$installed/uninstall.exe" /S || fail "the silent uninstaller failed to start (exit $?)"
give_up=$(($(date +%s) + 60))
while [ -e "$installed" ] || [ -e "$shortcut" ] || wine reg query "$key" >/dev/null 2>&1; do
  [ "$(date +%s)" -ge "$give_up" ] &&
    fail "60 s after uninstalling: $(find "$installed" -type f 2>/dev/null | head -n 3 | tr '\n' ' ')$([ -e "$shortcut" ] && echo "the shortcut ")$(wine reg query "$key" >/dev/null 2>&1 && echo "the entry $key")"
  sleep 0.5
done
echo "installer: all checks passed"
