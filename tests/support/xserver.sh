#!/usr/bin/env bash
# Starts or stops a private X server (Xvfb with the openbox window manager) for the tests that
# need a real one. The state folder keeps its display number and process ids.
# Usage: xserver.sh start|stop STATE_DIR
set -euo pipefail
action=$1 state=$2

stop() {
  for name in openbox xvfb; do
    [ -f "$state/$name.pid" ] && kill "$(cat "$state/$name.pid")" 2>/dev/null || true
    rm -f "$state/$name.pid"
  done
  rm -f "$state/display"
}

case "$action" in
  start)
    stop
    mkdir -p "$state/runtime"
    chmod 700 "$state/runtime"
    exec 3< <(exec Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp -noreset 2>"$state/xvfb.log" & echo "pid $!")
    read -r _ pid <&3
    echo "$pid" >"$state/xvfb.pid"
    read -r -t 10 number <&3 || { echo "Xvfb did not start" >&2; cat "$state/xvfb.log" >&2; exit 1; }
    export DISPLAY=":$number" XDG_RUNTIME_DIR="$state/runtime"
    for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.05; done
    openbox --sm-disable >"$state/openbox.log" 2>&1 &
    echo $! >"$state/openbox.pid"
    for _ in $(seq 100); do
      xprop -root _NET_SUPPORTED 2>/dev/null | grep -q _NET_WM_MOVERESIZE && break
      sleep 0.05
    done
    echo "$DISPLAY" >"$state/display"
    ;;
  stop) stop ;;
  *) echo "usage: $0 start|stop STATE_DIR" >&2; exit 2 ;;
esac
