#!/usr/bin/env bash
# Installs what is missing, builds the editor and starts it.
# Arguments are passed to the editor (for example a file to open).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
build=build/release
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DZOBL_BUILD_TESTS=OFF -DZOBL_BUILD_BENCHMARKS=OFF -DZOBL_BUILD_FUZZERS=OFF >/dev/null
cmake --build "$build" --target zobl_ge zobl-tool
if [ $# -eq 0 ] && [ -f data/sample.gs ]; then
    set -- data/sample.gs
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display found: starting the editor under xvfb-run." >&2
    exec xvfb-run -a "$build/bin/zobl_ge" "$@"
fi
exec "$build/bin/zobl_ge" "$@"
