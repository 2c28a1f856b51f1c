#!/usr/bin/env bash
# Configures and builds into build/ (or $BUILD_DIR). Extra arguments go to CMake's configure,
# e.g. scripts/build.sh -DSANITIZE=address,undefined
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${BUILD_DIR:-build}
cmake -S . -B "$build_dir" -G Ninja -DVELMAR_BENCH=ON "$@"
cmake --build "$build_dir" -j "$(nproc)"
