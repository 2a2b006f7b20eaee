#!/bin/sh
# Configures and builds Grazlo into build/ (or the folder given as $GRAZLO_BUILD_DIR).
# Extra arguments go to CMake's configure step, e.g. -DGRAZLO_SANITIZE=ON.
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD_DIR=${GRAZLO_BUILD_DIR:-$ROOT/build}
JOBS=$(nproc 2>/dev/null || echo 2)

cmake -S "$ROOT" -B "$BUILD_DIR" "$@"
cmake --build "$BUILD_DIR" --parallel "$JOBS"
