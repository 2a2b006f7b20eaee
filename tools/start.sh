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
    # Nobody could see or close a window here: show the sheep at work instead.
    echo "Kein Bildschirm gefunden (DISPLAY und WAYLAND_DISPLAY sind leer)."
    echo "Stattdessen führt grazlo-run das Beispiel für Level 2 aus:"
    echo
    status=0
    ./grazlo-run --level 2 --seed 1 --show-lawn Code/level2-acker.gzc || status=$?
    echo
    echo "Die Entwicklungsumgebung starten Sie auf einem Desktop mit:"
    echo "    sh $ROOT/tools/start.sh"
    echo "oder im Ordner $BUILD_DIR/bin mit ./grazlo (installiert: grazlo oder über das Anwendungsmenü)."
    exit "$status"
fi
exec ./grazlo "$@"
