#!/usr/bin/env bash
# Quick start: installs what is missing, builds, and starts Velmar on the simulated instrument
# (under a virtual display when there is none). Extra arguments go to velmar.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
binary=${BUILD_DIR:-build}/ui/velmar
[ $# -gt 0 ] || set -- --simulate
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x800x24" "$binary" "$@"
fi
exec "$binary" "$@"
