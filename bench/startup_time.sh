#!/usr/bin/env bash
# Time from process start to the main window being mapped on the display, median of N runs
# (default 5), on a private Xvfb display. Needs xvfb and x11-utils (xwininfo).
#   bench/startup_time.sh [build/ui/velmar] [runs]
set -euo pipefail
binary=${1:-build/ui/velmar}
runs=${2:-5}
display=:$((100 + RANDOM % 100))
Xvfb "$display" -screen 0 1024x665x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null' EXIT
sleep 1
export DISPLAY=$display HOME=${HOME:-/tmp}
times=()
for _ in $(seq "$runs"); do
  start=$(date +%s%N)
  "$binary" --simulate >/dev/null 2>&1 &
  pid=$!
  until xwininfo -name "Velmar Software for the Kestrom" 2>/dev/null | grep -q 'Map State: IsViewable'; do
    sleep 0.005
  done
  end=$(date +%s%N)
  kill "$pid"; wait "$pid" 2>/dev/null || true
  times+=($(( (end - start) / 1000000 )))
done
sorted=($(printf '%s\n' "${times[@]}" | sort -n))
echo "start-up to window shown, ms: ${times[*]}  median: ${sorted[$((runs / 2))]}"
