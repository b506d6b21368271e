#!/usr/bin/env bash
# Resident size of the editor (Release) with 10 scenery and 10 vehicle documents open and
# untouched, beside the editor with no document (the baseline), both under Xvfb.
# Not part of the test run: bench/resident_size.sh
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/release
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DZOBL_BUILD_TESTS=OFF -DZOBL_BUILD_BENCHMARKS=OFF -DZOBL_BUILD_FUZZERS=OFF >/dev/null
cmake --build "$build" --target zobl_ge >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
documents=()
for i in $(seq 1 10); do
    cp data/sample.gs "$work/scenery$i.gs"
    documents+=("$work/scenery$i.gs")
done
# Full vehicle files: 10 sets of 8 cars of 32 pixels.
python3 - "$work" <<'PY'
import sys
sys.path.insert(0, "fuzz")
from make_fgs_corpus import header, set_record, car
data = header(10)
for s in range(10):
    data += set_record(8, b"Satz %d" % s)
    for c in range(8):
        data += car(4, b"Wagen %d" % c)
for i in range(1, 11):
    with open("%s/vehicles%d.fgs" % (sys.argv[1], i), "wb") as f:
        f.write(data)
PY
for i in $(seq 1 10); do
    documents+=("$work/vehicles$i.fgs")
done

# Starts the editor with the given files, waits until its resident size has settled, prints it.
resident_kib() {
    local pidfile="$work/pid" config="$work/config-$#"
    rm -f "$pidfile"
    XDG_CONFIG_HOME="$config" XDG_STATE_HOME="$work/state" xvfb-run -a -s "-screen 0 1280x1024x24" \
        sh -c 'echo $$ > "$0"; exec "$@"' "$pidfile" "$build/bin/zobl_ge" "$@" >/dev/null 2>&1 &
    local runner=$!
    for _ in $(seq 1 100); do [ -s "$pidfile" ] && break; sleep 0.1; done
    local pid last=0 now stable=0
    pid=$(cat "$pidfile")
    for _ in $(seq 1 60); do
        sleep 0.5
        now=$(awk '/^VmRSS/ { print $2 }' "/proc/$pid/status")
        if [ "$now" = "$last" ]; then stable=$((stable + 1)); else stable=0; fi
        last=$now
        [ "$stable" -ge 4 ] && break
    done
    kill "$pid"
    wait "$runner" 2>/dev/null || true
    echo "$last"
}

baseline=$(resident_kib)
open=$(resident_kib "${documents[@]}")
printf '%-42s %8s KiB\n' "editor, no document (baseline)" "$baseline" \
       "editor, 10 scenery + 10 vehicle documents" "$open"
printf '%-42s %8s KiB\n' "difference" "$((open - baseline))"
