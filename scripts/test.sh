#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test through CTest.
# Extra arguments go to ctest, e.g. scripts/test.sh -L widgets
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
ctest --test-dir "${BUILD_DIR:-build}" --output-on-failure -j 2 "$@"
