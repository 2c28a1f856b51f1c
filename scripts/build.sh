#!/usr/bin/env bash
# Configures and builds into build/ (or $BUILD_DIR). A new build folder gets the program and the
# files installed beside it, nothing else: what `cpack` packages and `scripts/run.sh` starts.
# scripts/test.sh asks for the tests and the benchmarks; a folder configured before keeps what
# it was configured with. Extra arguments go to CMake's configure, e.g.
#   scripts/build.sh -DVELMAR_BUILD_TESTS=ON -DVELMAR_BENCH=ON
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${BUILD_DIR:-build}
defaults=()
[ -f "$build_dir/CMakeCache.txt" ] || defaults=(-DVELMAR_BUILD_TESTS=OFF -DVELMAR_BENCH=OFF)
cmake -S . -B "$build_dir" -G Ninja "${defaults[@]}" "$@"
cmake --build "$build_dir" -j "$(nproc)"
