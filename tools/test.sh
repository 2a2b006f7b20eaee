#!/bin/sh
# Installs what is missing, builds Grazlo with its tests and runs them all with CTest.
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD_DIR=${GRAZLO_BUILD_DIR:-$ROOT/build}
JOBS=$(nproc 2>/dev/null || echo 2)

"$ROOT/tools/install-deps.sh"
"$ROOT/tools/build.sh" "$@"
cd "$BUILD_DIR"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --parallel "$JOBS"
