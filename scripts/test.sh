#!/usr/bin/env bash
# Installs what is missing, checks that every include points down the layers, builds the
# program, the tests and the benchmarks, and runs every test through CTest. Then the sanitizer
# pass: a second build with AddressSanitizer and UndefinedBehaviorSanitizer (into build-asan/,
# only the tests it runs: no benchmarks, no program, no package) runs every test that is neither
# slow, end-to-end nor the package check.
# Extra arguments go to both ctest runs, e.g. scripts/test.sh -L widgets;
# VELMAR_SANITIZER_PASS=0 skips the second pass.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/check_layers.sh
scripts/build.sh -DVELMAR_BUILD_TESTS=ON -DVELMAR_BENCH=ON
ctest --test-dir "${BUILD_DIR:-build}" --output-on-failure -j 2 "$@"

if [ "${VELMAR_SANITIZER_PASS:-1}" != 0 ]; then
  started=$(date +%s)
  BUILD_DIR=build-asan scripts/build.sh -DSANITIZE=address,undefined -DVELMAR_BUILD_TESTS=ON -DVELMAR_BENCH=OFF
  ctest --test-dir build-asan --output-on-failure -j 2 -LE 'slow|e2e|package' "$@"
  echo "Sanitizer pass took $(( $(date +%s) - started )) s"
fi
