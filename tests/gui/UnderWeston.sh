#!/usr/bin/env bash
# Runs a GUI test executable on Qt's Wayland platform, in a headless weston of its own.
# Arguments: the test executable, Qt's plugin folder; further arguments go to the executable.
# Exits 77 (skipped) when weston or Qt's Wayland platform plugin is not installed.
set -euo pipefail
test_exe=$1
plugins=$2
shift 2

if ! command -v weston > /dev/null; then
    echo "SKIPPED: weston is not installed (scripts/setup.sh installs it)"
    exit 77
fi
if ! compgen -G "$plugins/platforms/libqwayland-*.so" > /dev/null; then
    echo "SKIPPED: Qt's Wayland platform plugin is not in $plugins/platforms (package qt6-wayland)"
    exit 77
fi

# The compositor's socket and the editor's runtime files in a folder only we can enter.
runtime=$(mktemp -d)
chmod 700 "$runtime"
weston_pid=
cleanup() {
    if [ -n "$weston_pid" ]; then
        kill "$weston_pid" 2> /dev/null || true
        wait "$weston_pid" 2> /dev/null || true
    fi
    rm -rf "$runtime"
}
trap cleanup EXIT

socket=zobl-test
XDG_RUNTIME_DIR=$runtime weston --backend=headless-backend.so --socket=$socket --idle-time=0 --no-config \
    > "$runtime/weston.log" 2>&1 &
weston_pid=$!
for _ in $(seq 100); do
    [ -S "$runtime/$socket" ] && break
    if ! kill -0 "$weston_pid" 2> /dev/null; then
        break
    fi
    sleep 0.1
done
if [ ! -S "$runtime/$socket" ]; then
    echo "weston did not start:"
    cat "$runtime/weston.log"
    exit 1
fi

status=0
export LSAN_OPTIONS="suppressions=$(dirname "$0")/WaylandLeaks.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
# The headless backend has no seat: no keyboard focus, no clipboard, no drag.
XDG_RUNTIME_DIR=$runtime WAYLAND_DISPLAY=$socket QT_QPA_PLATFORM=wayland QT_PLUGIN_PATH=$plugins ZOBL_TEST_NO_SEAT=1 \
    timeout 60 "$test_exe" "$@" || status=$?
if [ $status -ne 0 ]; then
    echo "--- weston's log"
    cat "$runtime/weston.log"
fi
exit $status
