#!/usr/bin/env bash
# Builds the libFuzzer targets alone, optimised with debug information, AddressSanitizer and
# UndefinedBehaviorSanitizer (build/fuzz), then fuzzes each for SECONDS on a copy of its seed
# corpus and prints runs and inputs per second. Not part of the test run.
#
# Usage: scripts/fuzz.sh [-j JOBS] [-n] [-o DIR] [SECONDS] [TARGET...]
#   SECONDS  fuzzing time per target (default 60)
#   TARGET   fuzz targets to run, with or without the fuzz_ prefix (default: all)
#   -j JOBS  targets fuzzed at the same time (default 1)
#   -n       no build: run what build/fuzz holds
#   -o DIR   keep the runs in DIR instead of build/fuzz/runs (say, to keep a long campaign)
# Every run is niced. Logs, the corpus each run grew and anything it found stay in
# <runs>/<target>/ (emptied when the target runs again there); the seeds in fuzz/corpus/ are
# never written to. The exit status is non-zero if any target crashed, leaked, hit undefined
# behaviour or timed out.
set -euo pipefail
cd "$(dirname "$0")/.."

all_targets=(fuzz_ini_file fuzz_code_pages fuzz_language_file fuzz_png_reader fuzz_gs_reader fuzz_sim_zgg fuzz_sim_fzg
             fuzz_sim_text fuzz_fgs_reader fuzz_clipboard_file fuzz_desktop_record fuzz_recovery_description)
usage() { awk 'NR > 1 && !/^#/ { exit } NR > 1 { sub(/^# ?/, ""); print }' "$0"; }
jobs=1
build_first=1
build=build/fuzz
runs_folder="$build/runs"
while getopts "j:no:h" option; do
    case "$option" in
        j) jobs="$OPTARG" ;;
        n) build_first=0 ;;
        o) runs_folder="$OPTARG" ;;
        h) usage; exit 0 ;;
        *) usage >&2; exit 2 ;;
    esac
done
shift $((OPTIND - 1))
seconds=60
if [ $# -gt 0 ] && [[ "$1" =~ ^[0-9]+$ ]]; then
    seconds="$1"
    shift
fi
targets=()
for name in "$@"; do
    [[ "$name" == fuzz_* ]] || name="fuzz_$name"
    if [[ " ${all_targets[*]} " != *" $name "* ]]; then
        echo "unknown fuzz target: $name (known: ${all_targets[*]})" >&2
        exit 2
    fi
    targets+=("$name")
done
[ ${#targets[@]} -gt 0 ] || targets=("${all_targets[@]}")

if [ "$build_first" = 1 ]; then
    ./scripts/setup.sh
    # No NDEBUG: assertions stay checks while fuzzing.
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
          -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g" -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O2 -g" \
          -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
          -DZOBL_BUILD_FUZZERS=ON -DZOBL_BUILD_TESTS=OFF -DZOBL_BUILD_BENCHMARKS=OFF -DZOBL_SANITIZE=OFF >/dev/null
    cmake --build "$build" -j "$(nproc)" --target "${targets[@]}"
fi

# One target: a fresh copy of the seeds, then SECONDS of fuzzing. Writes the log and a result line.
run_target() {
    local target="$1"
    local dir="$runs_folder/$target"
    local binary="$build/bin/$target"
    rm -rf "$dir"
    mkdir -p "$dir/corpus" "$dir/findings"
    cp -r fuzz/corpus/"$target"/. "$dir/corpus/"
    local options=()
    if [ -s "$binary.options" ]; then
        mapfile -t options < <(grep -v '^$' "$binary.options")
    fi
    local status=0
    local TIMEFORMAT="%R %U %S"
    # The times: elapsed, user and system seconds (the machine may be busy with other work, so
    # the rate per second of processor time is shown too).
    { time ASAN_OPTIONS=detect_leaks=1 nice -n 19 "$binary" "$dir/corpus" "${options[@]}" \
        -max_total_time="$seconds" -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$dir/findings/" >"$dir/log" 2>&1 || status=$?; } 2>"$dir/times"
    local runs
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$dir/log" | tail -1)
    runs=${runs:-0}
    local rate cpu_rate
    read -r rate cpu_rate < <(awk -v r="$runs" '{ printf "%.0f %.0f\n", r / $1, r / ($2 + $3 + 0.001) }' "$dir/times") || true
    local result="ok"
    rate=${rate:-?}
    cpu_rate=${cpu_rate:-?}
    if [ "$status" -ne 0 ]; then
        result="FAILED (exit $status): $(sed -n 's/.*Test unit written to //p' "$dir/log" | tail -1) log $dir/log"
    fi
    printf '%s\t%s\t%s\t%s\t%s\n' "$target" "$runs" "$rate" "$cpu_rate" "$result" >"$dir/result"
}

running=0
for target in "${targets[@]}"; do
    run_target "$target" &
    running=$((running + 1))
    if [ "$running" -ge "$jobs" ]; then
        wait -n || true
        running=$((running - 1))
    fi
done
wait

failed=0
printf '\n%-22s %12s %10s %14s  %s\n' target runs inputs/s "inputs/cpu-s" result
for target in "${targets[@]}"; do
    IFS=$'\t' read -r name runs rate cpu_rate result <"$runs_folder/$target/result"
    printf '%-22s %12s %10s %14s  %s\n' "$name" "$runs" "$rate" "$cpu_rate" "$result"
    [ "$result" = ok ] || failed=1
done
exit "$failed"
