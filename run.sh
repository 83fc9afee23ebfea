#!/usr/bin/env bash
# Sets everything up and starts the control panel.
#   ./run.sh                        on the built-in simulated projector
#   ./run.sh --com1 /dev/ttyUSB0    on a real projector (see README.md)
# Without a display (no X11 or Wayland session) the panel runs on Qt's offscreen platform.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

"$root/scripts/setup.sh" --panel >&2

args=("$@")
port_given=false
for arg in "$@"; do
    case "$arg" in
        --com1 | --com1=* | --com2 | --com2=* | --simulate | --list-ports | -h | --help | -v | --version) port_given=true ;;
    esac
done
$port_given || args=(--simulate "${args[@]}")

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "run: no display found; running on Qt's offscreen platform (stop with Ctrl+C)." >&2
    export QT_QPA_PLATFORM=offscreen
fi

exec "$root/build/src/app/qpv-panel" "${args[@]}"
