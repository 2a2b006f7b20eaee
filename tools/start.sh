#!/bin/sh
# Installs what is missing, builds Grazlo and starts the IDE from its runnable folder.
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD_DIR=${GRAZLO_BUILD_DIR:-$ROOT/build}

"$ROOT/tools/install-deps.sh"
"$ROOT/tools/build.sh"

cd "$BUILD_DIR/bin"
if [ ! -x ./grazlo ]; then
    echo "Das Programm grazlo wurde nicht gebaut." >&2
    exit 1
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "Kein Bildschirm gefunden (DISPLAY ist leer): starte Grazlo unter xvfb-run." >&2
    exec xvfb-run -a -s "-screen 0 1280x1024x24" ./grazlo "$@"
fi
exec ./grazlo "$@"
