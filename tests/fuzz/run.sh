#!/usr/bin/env bash
# Builds the image, skeleton, mesh, OBJ, EPS and document reader fuzzers and the older-document
# converter's with clang-14's libFuzzer and runs each one for a few seconds, starting from the
# small seed files beside this script.
#   tests/fuzz/run.sh [build folder]     (CELVANE_FUZZ_SECONDS, default 5, per reader)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out=${1:-$here/../../build-fuzz}
seconds=${CELVANE_FUZZ_SECONDS:-5}

if ! command -v clang++-14 >/dev/null; then
  echo "fuzz: clang++-14 is not installed; skipped"
  exit 0
fi
cmake -S "$here" -B "$out" -G Ninja -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 \
      -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$out"

status=0
for reader in jpeg png bmp gif targa skeleton mesh obj eps document older; do
  corpus="$out/corpus/$reader"
  mkdir -p "$corpus" "$out/artifacts"
  log="$out/fuzz_$reader.log"
  # The libraries print a message for every bad input: the log keeps them out of the way.
  if "$out/fuzz_$reader" -max_total_time="$seconds" -timeout=60 -rss_limit_mb=4096 -malloc_limit_mb=2048 \
       -artifact_prefix="$out/artifacts/$reader-" "$corpus" "$here/seeds/$reader" >"$log" 2>&1; then
    echo "fuzz $reader: $(grep -E '^Done [0-9]+ runs' "$log" | tail -1)"
  else
    echo "fuzz $reader: FAILED"
    grep -v -E 'Bogus message code|libpng (error|warning)|Premature end|Corrupt JPEG|Not a JPEG|Invalid|Unsupported|Bogus|Quantization|Huffman|JPEG datastream|Improper|warning:' "$log" | tail -60
    status=1
  fi
done
exit $status
