#!/usr/bin/env bash
# Renders PNGs of every visual identity and UI component for review by eye into build/ui-renders
# (or the folder given as the first argument). Extra arguments are passed to the GUI test program,
# e.g. --gtest_filter='Render*'. The pictures are not compared with anything.
set -euo pipefail
cd "$(dirname "$0")/.."

out="${1:-build/ui-renders}"
shift || true
if [[ ! -f build/build.ninja ]]; then
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
fi
cmake --build build --target vyr_gui_tests -j 3
mkdir -p "$out"
VYR_RENDER_DIR="$(realpath "$out")" xvfb-run -a -s "-screen 0 1280x800x24" build/tests/gui/vyr_gui_tests "$@"
echo "PNGs in $out"
