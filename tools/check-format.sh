#!/bin/sh
# Checks the layout of the C++ files changed against a base revision:
#   sh tools/check-format.sh main
# Only files added or changed since the merge base are checked, so untouched
# files keep their layout; format a file you change with `clang-format -i FILE`.
set -eu
BASE=${1:?Aufruf: tools/check-format.sh BASIS (zum Beispiel main)}
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
FROM=$(git merge-base "$BASE" HEAD)
FILES=$(git diff --name-only --diff-filter=ACMR "$FROM" -- '*.cpp' '*.h')
if [ -z "$FILES" ]; then
    echo "Keine geänderten C++-Dateien."
    exit 0
fi
# shellcheck disable=SC2086
clang-format --dry-run -Werror $FILES
