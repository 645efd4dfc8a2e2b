#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need,
# and only those that are missing.
#   tools/install-deps.sh run    packages to build and run
#   tools/install-deps.sh test   the same plus the test tools
set -euo pipefail

run_pkgs=(
  build-essential cmake ninja-build pkg-config
  libfreetype-dev libfontconfig-dev fonts-dejavu-core
  libjpeg62-turbo-dev libpng-dev
  libagg-dev
  libsdl2-dev libx11-dev libxi-dev
  liblua5.1-0-dev libtolua++5.1-dev
  libavformat-dev libavcodec-dev libavutil-dev libswscale-dev libswresample-dev
  libsndfile1-dev portaudio19-dev
  xdg-utils
)
test_pkgs=(
  libgtest-dev libgmock-dev libbenchmark-dev
  imagemagick clang-14 libclang-rt-14-dev
  xvfb xauth xdotool xclip desktop-file-utils shared-mime-info
  lua5.1 ffmpeg nodejs
)

want=("${run_pkgs[@]}")
if [ "${1:-run}" = test ]; then
  want+=("${test_pkgs[@]}")
  # npm judges the SWF output from outside; a nodejs that brings its own npm conflicts with
  # Debian's package, so that one is asked for only when the command is missing.
  if ! command -v npm >/dev/null 2>&1; then
    want+=(npm)
  fi
fi

missing=()
for p in "${want[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  if [ "$status" != "install ok installed" ]; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update
"${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
