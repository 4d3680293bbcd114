#!/usr/bin/env bash
# Start-up time and peak memory of the program against the floor (a bare Qt
# window with one label and one button), on the offscreen platform and on an
# X server (Xvfb).
#
#   bench/startup.sh [build-dir] [runs] [rounds]     (defaults: build, 60, 3)
#
# Time: hyperfine runs the two executables directly (-N: no shell, nothing
# else timed) in one invocation, so their ratio comes from the same run.
# Memory: a separate pass under GNU time (%M, the peak resident set), since
# timing a process through another one adds that one's start-up to it.
#
# Needs the Debian packages hyperfine, time and xvfb:
#   apt-get install hyperfine time xvfb
# STARTUP_WM names a window manager to run on the X server (for instance
# openbox; default none).
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib.sh startup
build=${1:-build}
runs=${2:-60}
rounds=${3:-3}
floor="$build/bench/startup_floor"
program="$build/bench/startup_morvesta"
for binary in "$floor" "$program"; do
    [ -x "$binary" ] || fail "build $binary first (cmake --build $build)"
done
for tool in hyperfine /usr/bin/time Xvfb; do
    command -v "$tool" >/dev/null || fail "$tool is missing (apt-get install hyperfine time xvfb)"
done
export LANG=pt_BR.UTF-8
scratch=$(mktemp -d)
at_exit rm -rf "$scratch"

# The programs run under the Brazilian Portuguese setting; the figures are
# read and printed with a decimal point.
calc() { LC_ALL=C awk "$@"; }
median() { sort -n | calc '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# Wall time: hyperfine over both, in rounds. hyperfine runs all of the first
# command's runs before the second's, so a burst of load elsewhere on the
# machine would land on one side only; each round gives its own ratio, and the
# round with the median ratio is the one reported.
timing() {
    local platform=$1 round csv
    for ((round = 1; round <= rounds; round++)); do
        csv="$scratch/round$round.csv"
        hyperfine -N --warmup 5 --runs "$runs" --style none --export-csv "$csv" "$floor" "$program" >/dev/null
        # command,mean,stddev,median,user,system,min,max (seconds)
        calc -F, -v platform="$platform" -v round="$round" 'NR == 2 { fm = $4; fa = $2; fs = $3 }
            NR == 3 { pm = $4; pa = $2; ps = $3 }
            END { printf "%.4f %-10s round %d time median: floor %6.1f ms, program %6.1f ms, ratio %.3f  (mean %.1f ± %.1f ms against %.1f ± %.1f ms)\n",
                  pm / fm, platform, round, fm * 1000, pm * 1000, pm / fm, fa * 1000, fs * 1000, pa * 1000, ps * 1000 }' "$csv"
    done | sort -n | calc '{ line[NR] = $0 } END { for (i = 1; i <= NR; i++) { sub(/^[^ ]+ /, "", line[i]); print line[i] (i == int((NR + 1) / 2) ? "  <- median" : "") } }'
}

# Peak resident set: GNU time around each run, the two alternating.
memory() {
    local platform=$1 i
    local -a floorRss programRss
    for ((i = 0; i < runs; i++)); do
        floorRss+=("$(/usr/bin/time -f '%M' "$floor" 2>&1 >/dev/null | tail -n 1)")
        programRss+=("$(/usr/bin/time -f '%M' "$program" 2>&1 >/dev/null | tail -n 1)")
    done
    local fm pm
    fm=$(printf '%s\n' "${floorRss[@]}" | median)
    pm=$(printf '%s\n' "${programRss[@]}" | median)
    calc -v platform="$platform" -v fm="$fm" -v pm="$pm" 'BEGIN {
        printf "%-10s peak RSS median: floor %6.1f MiB, program %6.1f MiB, ratio %.3f\n", platform, fm / 1024, pm / 1024, pm / fm }'
}

echo "$runs runs each; $(nproc) cores; $(uname -m); load average $(cut -d' ' -f1-3 /proc/loadavg)"
export QT_QPA_PLATFORM=offscreen
timing offscreen
memory offscreen

start_x_server
export QT_QPA_PLATFORM=xcb
if [ -n "${STARTUP_WM:-}" ]; then
    "$STARTUP_WM" >/dev/null 2>&1 &
    at_exit kill "$!"
    sleep 1 # (a window manager says nothing when it is ready)
    echo "xcb: Xvfb $DISPLAY, window manager $STARTUP_WM"
else
    echo "xcb: Xvfb $DISPLAY, no window manager"
fi
timing xcb/Xvfb
memory xcb/Xvfb
