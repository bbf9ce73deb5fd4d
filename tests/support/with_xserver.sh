#!/usr/bin/env bash
# Runs a command on the private X server that xserver.sh started.
# Usage: with_xserver.sh STATE_DIR COMMAND [ARGS...]
set -euo pipefail
state=$1; shift
[ -f "$state/display" ] || { echo "no private X server is running (xserver.sh start)" >&2; exit 1; }
export DISPLAY=$(cat "$state/display") XDG_RUNTIME_DIR="$state/runtime" QT_QPA_PLATFORM=xcb
exec "$@"
