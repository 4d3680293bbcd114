#!/usr/bin/env bash
# Screenshots of the program under Wine, in Wine's virtual desktop (which
# draws Windows frames): the main window as it starts, and the summary of a
# two-pizza order paid in cash, reached from the keyboard as an operator
# would. Needs the environment windows/build.sh sets up (WINEPREFIX, DISPLAY).
#
#   screenshots.sh <morvesta.exe> <output folder> <winprobe.exe>
set -euo pipefail
exe=$1
out=$2
probe=$3

. "$(dirname "$0")/../scripts/lib.sh" screenshots

wine "$exe" &
program=$!
at_exit kill "$program"
frame=$(wine "$probe" wait Morvesta 30 | tr -d '\r') || fail "the program showed no window"
read -r left top width height <<<"$frame"
# A little of the desktop around the window.
crop="$((width + 24))x$((height + 24))+$((left - 12))+$((top - 12))"

sleep 1.5 # the first paint, and the clock in the status bar
import -window root -crop "$crop" +repage "$out/screenshot-main.png"

keys() {
    for key in "$@"; do
        xdotool key "$key"
        sleep 0.4
    done
}
xdotool mousemove 1 1
keys Tab space alt+p Return alt+p Return Tab space alt+t
sleep 1.5
import -window root -crop "$crop" +repage "$out/screenshot-summary.png"
keys alt+r
sleep 0.5
wine "$probe" close Morvesta >/dev/null || true
for _ in $(seq 100); do
    kill -0 "$program" 2>/dev/null || break
    sleep 0.1
done
say "$out/screenshot-main.png $out/screenshot-summary.png"
