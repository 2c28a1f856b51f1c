#!/usr/bin/env bash
# Installs what is missing, checks that every include points down the layers, builds the
# program, the tests and the benchmarks, and runs every test through CTest. Then the sanitizer
# pass: a second build with AddressSanitizer and UndefinedBehaviorSanitizer (into build-asan/,
# only the tests it runs: no benchmarks, no program, no package) runs every test that is neither
# slow, end-to-end nor the package check.
# The sanitizer build compiles while the first tests run, at the lowest priority: those tests
# mostly wait on the instrument's timing, so the compiler takes the idle processor time
# without slowing them. Its output goes to build-asan/build.log and is shown when it ends.
# Extra arguments go to both ctest runs, e.g. scripts/test.sh -L widgets;
# VELMAR_SANITIZER_PASS=0 skips the second pass.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/check_layers.sh
scripts/build.sh -DVELMAR_BUILD_TESTS=ON -DVELMAR_BENCH=ON

sanitizer_pass=${VELMAR_SANITIZER_PASS:-1}
sanitizer_build=
if [ "$sanitizer_pass" != 0 ]; then
  started=$(date +%s)
  mkdir -p build-asan
  BUILD_DIR=build-asan setsid nice -n 19 scripts/build.sh -DSANITIZE=address,undefined -DVELMAR_BUILD_TESTS=ON \
    -DVELMAR_BENCH=OFF >build-asan/build.log 2>&1 &
  sanitizer_build=$!
  # Whatever way this script leaves, the background build (its own process group) does not
  # outlive it.
  trap '[ -z "$sanitizer_build" ] || kill -- "-$sanitizer_build" 2>/dev/null || true' EXIT
fi

ctest --test-dir "${BUILD_DIR:-build}" --output-on-failure -j 2 "$@"

if [ "$sanitizer_pass" != 0 ]; then
  build_status=0
  wait "$sanitizer_build" || build_status=$?
  sanitizer_build=
  echo "Sanitizer build (build-asan/build.log), $(( $(date +%s) - started )) s from its start:"
  tail -n 3 build-asan/build.log
  if [ "$build_status" != 0 ]; then
    cat build-asan/build.log
    exit "$build_status"
  fi
  ctest --test-dir build-asan --output-on-failure -j 2 -LE 'slow|e2e|package' "$@"
  echo "Sanitizer pass took $(( $(date +%s) - started )) s"
fi
