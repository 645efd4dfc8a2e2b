#!/usr/bin/env bash
# Installs what is missing, builds with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh test

build=${CELVANE_TEST_BUILD:-build-test}
jobs=$(nproc)
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCELVANE_SANITIZE=ON \
      -DCELVANE_TESTS=ON -DCELVANE_BENCH=ON
cmake --build "$build" -j "$jobs"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
cd "$build"
ctest --output-on-failure -j "$jobs" "$@"

# The image readers under libFuzzer (clang-14), a few seconds each, in a build of their own.
"$OLDPWD/tests/fuzz/run.sh" "$PWD/fuzz"
