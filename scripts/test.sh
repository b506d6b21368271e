#!/usr/bin/env bash
# Installs what is missing, builds everything with the sanitizers and runs every test through CTest:
# unit and GUI tests (offscreen), the fuzz targets over their corpora, and the house-rule checks.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
build=build/test
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
      -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
      -DZOBL_SANITIZE=ON -DZOBL_BUILD_TESTS=ON -DZOBL_BUILD_BENCHMARKS=ON -DZOBL_BUILD_FUZZERS=ON >/dev/null
cmake --build "$build" -j "$(nproc)"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build" --output-on-failure -j "$(nproc)" "$@"
