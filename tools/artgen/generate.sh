#!/usr/bin/env bash
# Regenerates the stand-in images of Assets/Art with the project's own generator.
set -euo pipefail
cd "$(dirname "$0")/../.."
if [[ ! -f build/build.ninja ]]; then
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
fi
cmake --build build --target vyr_artgen -j 3
build/tools/artgen/vyr_artgen Assets/Art
ls -l Assets/Art
