#!/usr/bin/env bash
# Sets everything up and starts the control panel.
#   ./run.sh                      on the built-in simulated projector
#   ./run.sh --com1 /dev/ttyUSB0  on a real projector (see README.md)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

"$root/scripts/setup.sh"

echo "run: the command-exchange core is built; the panel window is not part of this build yet."
echo "run: once it is, this command starts it on the simulated projector unless a port is given."
