#!/usr/bin/env bash
# Renders PNGs of every visual identity and UI component for review by eye into build/ui-renders.
# Options: --out DIR (another folder), --docs (also copy the identity pictures the README shows
# into docs/images, scaled down). Other arguments go to the GUI test program, e.g.
# --gtest_filter='IdentityRenders*'. The pictures are not compared with anything.
set -euo pipefail
cd "$(dirname "$0")/.."

out="build/ui-renders"
docs=0
args=()
while [[ $# -gt 0 ]]; do
  case "$1" in
    --out) out="$2"; shift 2 ;;
    --docs) docs=1; shift ;;
    *) args+=("$1"); shift ;;
  esac
done
if [[ ! -f build/build.ninja ]]; then
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
fi
cmake --build build --target vyr_gui_tests -j 3
mkdir -p "$out"
VYR_RENDER_DIR="$(realpath "$out")" xvfb-run -a -s "-screen 0 1280x800x24" build/tests/gui/vyr_gui_tests "${args[@]}"
echo "PNGs in $out"
if [[ "$docs" == "1" ]]; then
  mkdir -p docs/images
  for f in "$out"/identity-*.png; do
    convert "$f" -resize 640x -strip -dither FloydSteinberg -colors 256 "PNG8:docs/images/$(basename "$f")"
  done
  # The editor as a user opens it: VYR Quarn, the desktop studio of the Standalone app, the export card.
  for pair in "editor-quarn-identity-0:editor-quarn" "desktop-identity-0:editor-desktop" "export-card:editor-export-card"; do
    src="$out/${pair%%:*}.png"
    [[ -f "$src" ]] && convert "$src" -resize 640x -strip -dither FloydSteinberg -colors 256 "PNG8:docs/images/${pair##*:}.png"
  done
  echo "README pictures in docs/images"
fi
