#!/usr/bin/env bash
# Builds and runs the whole test suite: Release (unit, GUI and plug-in host tests), then the unit
# and GUI tests again under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh --tests
jobs="$(nproc)"

# Beside the default product, the full chain (0) and one single effect (7, the delay) are built from
# the same compiled code, and the host tests load each of them.
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DVYR_EXTRA_PRODUCTS="0;7"
cmake --build build -j "$jobs"

# The tests load only the bundles this build produced. They run with a copy of those bundles
# installed where hosts look for a user's plug-ins (~/.lv2, ~/.vst3 of a home made for this run, as
# after scripts/install.sh): should a test ever pick up an installed copy, it fails on this one.
decoy_home="$(mktemp -d)"
trap 'rm -rf "$decoy_home"' EXIT
mkdir -p "$decoy_home/.lv2" "$decoy_home/.vst3"
cp -r "build/VyrQuarn_artefacts/Release/LV2/VYR Quarn.lv2" "$decoy_home/.lv2/"
cp -r "build/VyrQuarn_artefacts/Release/VST3/VYR Quarn.vst3" "$decoy_home/.vst3/"
HOME="$decoy_home" xvfb-run -a -s "-screen 0 1280x800x24" ctest --test-dir build --output-on-failure -j "$jobs"

if [[ "${VYR_SKIP_SANITIZERS:-0}" != "1" ]]; then
  cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVYR_SANITIZE=ON -DVYR_BUILD_BENCH=OFF -DVYR_HOST_TESTS=OFF
  cmake --build build-asan --target vyr_tests vyr_gui_tests -j "$jobs"
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    xvfb-run -a -s "-screen 0 1280x800x24" ctest --test-dir build-asan --output-on-failure -j "$jobs"
fi

# The benchmark is built with the Release tree; run it with: build/bench/vyr_bench
