#!/usr/bin/env bash
# Installs what is missing, builds a release build and starts Celvane.
#   ./run.sh [document]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cd "$here"
tools/install-deps.sh run

build=build-release
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCELVANE_TESTS=OFF
cmake --build "$build" -j "$(nproc)"
exec "$build/app/celvane" "$@"
