#!/usr/bin/env bash
# Installs what is missing, builds everything with the sanitizers and runs every test through CTest:
# unit and GUI tests (offscreen), the fuzz targets over their corpora, and the house-rule checks.
# Then builds the editor, the tool and the tests as a GCC Release build in which any warning is an
# error: GCC's optimiser finds warnings that the clang Debug build does not.
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

gcc_build=build/gcc-release-werror
cmake -S . -B "$gcc_build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_C_COMPILER=gcc -DCMAKE_CXX_COMPILER=g++ -DZOBL_WARNINGS_AS_ERRORS=ON \
      -DZOBL_BUILD_TESTS=ON -DZOBL_BUILD_BENCHMARKS=OFF -DZOBL_BUILD_FUZZERS=OFF >/dev/null
cmake --build "$gcc_build" -j "$(nproc)"
