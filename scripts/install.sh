#!/usr/bin/env bash
# Builds VYR Quarn in Release and installs the VST3 and LV2 into the user's plug-in folders.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DVYR_BUILD_TESTS=OFF -DVYR_BUILD_BENCH=OFF
cmake --build build-release --target VyrQuarn_VST3 VyrQuarn_LV2 VyrQuarn_Standalone -j "$(nproc)"
cmake --install build-release

echo
echo "Installed: ~/.vst3/VYR Quarn.vst3 and ~/.lv2/VYR Quarn.lv2"
echo "Standalone app: \"build-release/VyrQuarn_artefacts/Release/Standalone/VYR Quarn\""
