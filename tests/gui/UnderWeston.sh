#!/usr/bin/env bash
# Runs a GUI test executable on Qt's Wayland platform, in a weston of its own.
# Arguments: headless|seat, the test executable, Qt's plugin folder; further arguments go to the
# executable.
# - headless: weston's headless backend, which has no seat (no keyboard, pointer or clipboard).
# - seat: weston's X11 backend in an Xvfb of its own, whose seat gives the clipboard.
# Exits 77 (skipped) when weston, Qt's Wayland platform plugin or (for seat) Xvfb is missing.
set -euo pipefail
backend=$1
test_exe=$2
plugins=$3
shift 3

skip() {
    echo "SKIPPED: $*"
    exit 77
}
command -v weston > /dev/null || skip "weston is not installed (scripts/setup.sh installs it)"
compgen -G "$plugins/platforms/libqwayland-*.so" > /dev/null ||
    skip "Qt's Wayland platform plugin is not in $plugins/platforms (package qt6-wayland)"
if [ "$backend" = seat ]; then
    command -v Xvfb > /dev/null || skip "Xvfb is not installed (scripts/setup.sh installs it)"
fi

# The compositor's socket and the editor's runtime files in a folder only we can enter.
runtime=$(mktemp -d)
chmod 700 "$runtime"
pids=()
cleanup() {
    for pid in "${pids[@]}"; do
        kill "$pid" 2> /dev/null || true
        wait "$pid" 2> /dev/null || true
    done
    rm -rf "$runtime"
}
trap cleanup EXIT

weston_args=(--socket=zobl-test --idle-time=0 --no-config)
display=
if [ "$backend" = seat ]; then
    # Xvfb picks a free display and writes its number once it accepts clients.
    Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x900x24 3> "$runtime/display" > "$runtime/xvfb.log" 2>&1 &
    pids+=($!)
    for _ in $(seq 100); do
        [ -s "$runtime/display" ] && break
        sleep 0.1
    done
    display=$(head -n 1 "$runtime/display")
    [ -n "$display" ] || { echo "Xvfb did not start:"; cat "$runtime/xvfb.log"; exit 1; }
    weston_args+=(--backend=x11-backend.so --width=1200 --height=850)
else
    weston_args+=(--backend=headless-backend.so)
    export ZOBL_TEST_NO_SEAT=1
fi
# Only weston is an X11 client; the editor sees Wayland alone.
XDG_RUNTIME_DIR=$runtime DISPLAY=${display:+:$display} weston "${weston_args[@]}" > "$runtime/weston.log" 2>&1 &
pids=("$!" "${pids[@]}")
for _ in $(seq 100); do
    [ -S "$runtime/zobl-test" ] && break
    kill -0 "${pids[0]}" 2> /dev/null || break
    sleep 0.1
done
if [ ! -S "$runtime/zobl-test" ]; then
    echo "weston did not start:"
    cat "$runtime/weston.log"
    exit 1
fi

status=0
export LSAN_OPTIONS="suppressions=$(dirname "$0")/WaylandLeaks.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
env -u DISPLAY XDG_RUNTIME_DIR=$runtime WAYLAND_DISPLAY=zobl-test QT_QPA_PLATFORM=wayland QT_PLUGIN_PATH=$plugins \
    timeout 60 "$test_exe" "$@" || status=$?
if [ $status -ne 0 ]; then
    echo "--- weston's log"
    cat "$runtime/weston.log"
fi
exit $status
