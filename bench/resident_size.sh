#!/usr/bin/env bash
# Resident size of the editor (Release) with 10 scenery and 10 vehicle documents open and
# untouched, and with 10 scenery windows at zoom 10 (put back by the desktop record), beside the
# editor with no document (the baseline), all under Xvfb.
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

# The desktop record of the 10 scenery documents, each in one window of 900 x 600 at zoom 10
# scrolled to the middle of its width, in the settings file of config folder $1.
write_zoomed_desktop() {
    mkdir -p "$1/ZOBL Graphics Editor"
    python3 - "$1/ZOBL Graphics Editor/ZOBL Graphic Editor.ini" "${documents[@]:0:10}" <<'PY'
import struct, sys
ints = lambda *values: struct.pack("<%di" % len(values), *values)
def placement(left, top, width, height):  # shown normally at that place
    return ints(44, 0, 1, -1, -1, -1, -1, left, top, left + width, top + height)
zoom, scroll_x = 10, 5000
record = b""
for i, path in enumerate(sys.argv[2:]):
    # Cascaded, so that every window shows a part of itself and paints.
    view = ints(68, 0) + placement(24 * i, 24 * i, 900, 600) + ints(zoom, scroll_x, 0, 0)
    record += ints(272 + len(view), 1) + path.encode().ljust(260, b"\0") + ints(1) + view
main_window = ints(44, *[0] * 10)  # zero: it keeps its own geometry
record = ints(56 + len(record), 0) + main_window + ints(len(sys.argv) - 2) + record
# Every byte escaped, as QSettings reads a byte array.
with open(sys.argv[1], "w") as f:
    f.write("[DESKTOP]\nsize=%d\ndesktopdata=@ByteArray(%s)\n"
            % (len(record), "".join("\\x%02x" % b for b in record)))
PY
}

# Starts the editor with the given files, waits until its resident size has settled, prints it.
# $config, if set, is the settings folder to use.
resident_kib() {
    local pidfile="$work/pid" config="${config:-$work/config-$#}"
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
write_zoomed_desktop "$work/config-zoomed"
zoomed=$(config="$work/config-zoomed" resident_kib)
printf '%-42s %8s KiB\n' "editor, no document (baseline)" "$baseline" \
       "editor, 10 scenery + 10 vehicle documents" "$open" \
       "editor, 10 scenery windows at zoom 10" "$zoomed"
printf '%-42s %8s KiB\n' "difference, documents" "$((open - baseline))" \
       "difference, zoomed windows" "$((zoomed - baseline))"
