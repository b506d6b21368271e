#!/usr/bin/env bash
# The random user for as long as asked: new seeds, one after another, on the sanitizer build,
# until MINUTES are up. Prints every seed's actions per second and, at the end, the failing seeds
# with the command that replays each one's shortest failing tail.
#
#   scripts/monkey.sh MINUTES [SEED]     SEED: the first seed (default: from the clock)
set -euo pipefail
cd "$(dirname "$0")/.."
minutes=${1:?usage: scripts/monkey.sh MINUTES [SEED]}
seed=${2:-$(date +%s)}
steps=${MONKEY_STEPS:-3000}
[[ $minutes =~ ^[0-9]+$ && $seed =~ ^[0-9]+$ ]] || { echo "monkey.sh: MINUTES and SEED are whole numbers" >&2; exit 2; }

build=build/test
if [[ ! -x $build/bin/zobl_monkey ]]; then
    ./scripts/setup.sh
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
          -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
          -DZOBL_SANITIZE=ON -DZOBL_BUILD_TESTS=ON -DZOBL_BUILD_BENCHMARKS=ON -DZOBL_BUILD_FUZZERS=ON >/dev/null
fi
cmake --build "$build" --target zobl_monkey >/dev/null
export QT_QPA_PLATFORM=offscreen
# A copy of its own (with the language file beside it), so that a build during the run changes nothing.
copy=$(mktemp -d)
trap 'rm -rf "$copy"' EXIT
cp "$build/bin/zobl_monkey" "$build/bin/zobl_ge.rtx" "$copy/"

end=$(( $(date +%s) + 60 * minutes ))
failed=()
actions=0
seconds=0
runs=0
while (( $(date +%s) < end )); do
    started=$(date +%s.%N)
    if output=$("$copy/zobl_monkey" --seed "$seed" --steps "$steps" 2>&1); then :; else
        failed+=("$seed")
        printf '%s\n' "$output" | sed "s#$copy/#$build/bin/#" | tail -n 60
    fi
    done_now=$(printf '%s\n' "$output" | sed -n 's/^seed [0-9]*: \([0-9]*\) actions.*/\1/p' | head -n 1)
    actions=$(( actions + ${done_now:-0} ))
    seconds=$(awk -v a="$seconds" -v b="$started" -v c="$(date +%s.%N)" 'BEGIN { print a + c - b }')
    runs=$(( runs + 1 ))
    printf '%s\n' "$output" | grep -E '^seed [0-9]+: [0-9]+ actions' || true
    seed=$(( seed + 1 ))
done
awk -v runs="$runs" -v actions="$actions" -v seconds="$seconds" -v failed="${failed[*]:-none}" 'BEGIN {
    printf "monkey: %d seeds, %d actions in %.0f s, %.1f actions/s; failing seeds: %s\n",
           runs, actions, seconds, (seconds > 0 ? actions / seconds : 0), failed }'
(( ${#failed[@]} == 0 ))
