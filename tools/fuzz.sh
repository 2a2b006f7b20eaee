#!/bin/sh
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) into build-fuzz/ and fuzzes one target, or
# several one after the other, for the given number of seconds each:
#
#   sh tools/fuzz.sh SECONDS TARGET...    targets: script lawn text comma settings http
#
# Each target's growing corpus starts from its seeds in tests/fuzz/corpus/ and
# lives in build-fuzz/corpus/<target>/; inputs that crash, leak, run out of
# memory or time out land in build-fuzz/artifacts/<target>/. Copy an input that
# found a fault into tests/fuzz/corpus/<target>/ with its fix, so that the
# corpus tests keep it fixed.
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD_DIR=${GRAZLO_FUZZ_BUILD_DIR:-$ROOT/build-fuzz}
if [ $# -lt 2 ]; then
    sed -n '2,12p' "$0" >&2
    exit 64
fi
SECONDS_EACH=$1
shift

# clang and its sanitizer and fuzzer run-time libraries; the normal build needs neither.
missing=""
for p in clang-14 libclang-rt-14-dev; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
    SUDO=""
    if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
    $SUDO env DEBIAN_FRONTEND=noninteractive apt-get update -q
    # shellcheck disable=SC2086
    $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends $missing
fi
"$ROOT/tools/install-deps.sh"

CC=clang-14 CXX=clang++-14 cmake -S "$ROOT" -B "$BUILD_DIR" -DGRAZLO_FUZZ=ON -DGRAZLO_BUILD_BENCH=OFF
for target in "$@"; do
    cmake --build "$BUILD_DIR" --parallel 2 --target "fuzz_$target"
done

for target in "$@"; do
    corpus="$BUILD_DIR/corpus/$target"
    artifacts="$BUILD_DIR/artifacts/$target"
    mkdir -p "$corpus" "$artifacts"
    # Fork mode keeps going after a fault, so one run collects them all.
    nice -n 19 "$BUILD_DIR/fuzz/fuzz_$target" "$corpus" "$ROOT/tests/fuzz/corpus/$target" \
        -fork=1 -ignore_crashes=1 -ignore_ooms=1 -ignore_timeouts=1 \
        -timeout=10 -rss_limit_mb=2048 -max_total_time="$SECONDS_EACH" \
        -artifact_prefix="$artifacts/" 2>&1 | tee "$BUILD_DIR/fuzz-$target.log"
done
