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
  bash scripts/deps.sh --docs
  mkdir -p docs/images
  for f in "$out"/identity-*.png; do
    convert "$f" -resize 640x -strip -dither FloydSteinberg -colors 256 "PNG8:docs/images/$(basename "$f")"
  done
  # The README's pictures: render name, picture name, width.
  pictures=(
    # The editor as a user opens it: VYR Quarn, the Standalone app, the desktop studio, the export card.
    "editor-quarn-identity-0:editor-quarn:1168x" "desktop-identity-0:editor-desktop:640x"
    "export-card:editor-export-card:640x"
    "standalone-main-view-at-rest:standalone-main-view-at-rest:900x"
    "standalone-main-view-error:standalone-main-view-error:900x"
    # The main controls and meters.
    "control-knobs-dark:control-knobs:640x" "control-gauge-titanium:control-gauge:320x"
    "meter-vu-round-retro:meter-vu:640x" "meter-analyser-hud:meter-analyser:640x"
    "meter-level-horizontal-dbfs:meter-level:640x" "control-faders-glass:control-faders:640x"
    # The FX chain page: the delay product and the full chain's page; module pictures.
    "fxchain-product-7-identity-0:fxchain-delay:640x" "fxchain-product-0-identity-0:fxchain-tolvaren:800x"
    "fx-picture-compressor-0-identity0:fx-compressor-picture:640x" "fx-clip-macro:fx-clip-macro-picture:640x"
    "fx-page-density:fx-density-page:800x"
    # The EQ editor with a band's popup open; the limiter and multiband panels with audio playing.
    "eq-parametric-identity-0:eq-parametric:900x" "eq-dynamic-identity-1:eq-dynamic:900x"
    "panel-limiter-0:panel-limiter:900x" "panel-mbc-0:panel-multiband:900x"
    # The section page; the library dialog.
    "section-page-identity-0:section-page-dark:1200x" "section-page-identity-3:section-page-retro:1200x"
    "library-dialog:library-dialog:540x"
    # The studio page, the mastered output with the assistant's drawer, the final output.
    "studio-page:studio-page:1200x" "studio-mastered-output:studio-mastered-output:1184x"
    "final-output-identity-0:final-output-dark:1184x"
  )
  for pair in "${pictures[@]}"; do
    IFS=: read -r name target size <<< "$pair"
    src="$out/$name.png"
    [[ -f "$src" ]] && convert "$src" -resize "$size" -strip -dither FloydSteinberg -colors 256 "PNG8:docs/images/$target.png"
  done
  echo "README pictures in docs/images"
fi
