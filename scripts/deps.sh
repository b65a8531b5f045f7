#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only when some are missing.
set -euo pipefail

PACKAGES=(
  g++ make cmake ninja-build pkg-config ccache
  juce-modules-source libfreetype-dev libasound2-dev libx11-dev libxrandr-dev libxinerama-dev
  libxcursor-dev libxext-dev libgl-dev libflac-dev libvorbis-dev libogg-dev libpng-dev libjpeg-dev zlib1g-dev
  libfftw3-dev libavformat-dev libavcodec-dev libavutil-dev libtag1-dev lame ffmpeg
  fonts-dejavu-core
)
if [[ "${1:-}" == "--docs" ]]; then
  # Scales the README's pictures (scripts/render-ui.sh --docs).
  PACKAGES+=(imagemagick)
fi
if [[ "${1:-}" == "--tests" ]]; then
  PACKAGES+=(libgtest-dev libbenchmark-dev libebur128-dev xvfb xauth openbox flac lilv-utils xdotool x11-utils libxtst-dev poppler-utils)
fi

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  SUDO=""
  if [[ $(id -u) -ne 0 ]]; then SUDO="sudo"; fi
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
