#!/usr/bin/env bash
# Start-up time and peak memory of the program against the floor (a bare Qt
# window with one label and one button), side by side: the two alternate run
# by run, on the offscreen platform and on an X server (Xvfb).
#
#   bench/startup.sh [build-dir] [runs]      (defaults: build, 40)
#
# Needs hyperfine, GNU time and Xvfb (apt-get install hyperfine time xvfb).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
runs=${2:-40}
floor="$build/bench/startup_floor"
program="$build/bench/startup_morvesta"
for binary in "$floor" "$program"; do
    [ -x "$binary" ] || { echo "build $binary first (cmake --build $build)" >&2; exit 1; }
done
export LANG=pt_BR.UTF-8

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# One run: wall time in microseconds and peak resident set in KiB.
measure() {
    local start end rss
    start=$(date +%s%N)
    rss=$(/usr/bin/time -f '%M' "$1" 2>&1 >/dev/null | tail -n 1)
    end=$(date +%s%N)
    echo "$(((end - start) / 1000)) $rss"
}

compare() {
    local platform=$1 i
    local -a floorTime floorRss programTime programRss
    for binary in "$floor" "$program"; do "$binary" >/dev/null 2>&1; done # warm the caches
    for ((i = 0; i < runs; i++)); do
        read -r t m < <(measure "$floor")
        floorTime+=("$t"); floorRss+=("$m")
        read -r t m < <(measure "$program")
        programTime+=("$t"); programRss+=("$m")
    done
    local ft pt fm pm
    ft=$(printf '%s\n' "${floorTime[@]}" | median)
    pt=$(printf '%s\n' "${programTime[@]}" | median)
    fm=$(printf '%s\n' "${floorRss[@]}" | median)
    pm=$(printf '%s\n' "${programRss[@]}" | median)
    printf '%-10s start-up median: floor %6.1f ms, program %6.1f ms, ratio %.3f\n' \
        "$platform" "$(echo "$ft / 1000" | bc -l)" "$(echo "$pt / 1000" | bc -l)" "$(echo "$pt / $ft" | bc -l)"
    printf '%-10s peak RSS median: floor %6.1f MiB, program %6.1f MiB, ratio %.3f\n' \
        "$platform" "$(echo "$fm / 1024" | bc -l)" "$(echo "$pm / 1024" | bc -l)" "$(echo "$pm / $fm" | bc -l)"
}

echo "$runs alternating runs each; $(nproc) cores; $(uname -m)"
QT_QPA_PLATFORM=offscreen compare offscreen

display=:$((90 + RANDOM % 9))
Xvfb "$display" -screen 0 1024x768x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null' EXIT
sleep 1
DISPLAY=$display QT_QPA_PLATFORM=xcb compare xcb/Xvfb

if command -v hyperfine >/dev/null; then
    echo
    echo "hyperfine cross-check (offscreen):"
    QT_QPA_PLATFORM=offscreen hyperfine -N --warmup 3 --runs "$runs" --style basic "$floor" "$program" 2>&1 |
        grep -E 'Time|±|faster|Benchmark'
fi
