#!/bin/sh
# Fails when a tracked C++ file is not formatted as .clang-format says; names each such file.
#   tools/check_format.sh         check
#   tools/check_format.sh --fix   format them in place
set -eu
cd "$(dirname "$0")/.."
format=$(command -v clang-format || command -v clang-format-14 || true)
if [ -z "$format" ]; then
    echo "check_format: clang-format is not installed (tools/deps.sh installs it)" >&2
    exit 1
fi
files=$(git ls-files -- '*.cpp' '*.h')
if [ "${1:-}" = "--fix" ]; then
    # shellcheck disable=SC2086
    "$format" -i $files
    exit 0
fi
# shellcheck disable=SC2086
if ! "$format" --dry-run --Werror $files; then
    echo "check_format: the files above differ from .clang-format (tools/check_format.sh --fix formats them)" >&2
    exit 1
fi
echo "check_format: $(echo "$files" | wc -l) files as .clang-format says"
