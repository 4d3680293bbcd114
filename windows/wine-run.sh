#!/usr/bin/env bash
# Runs a Windows program of the cross-build under Wine, for CMake and CTest
# (CMAKE_CROSSCOMPILING_EMULATOR): the build's tools and the test
# executables. The exit code is the program's.
#
# Under Wine a Qt test's report to standard output is lost, so a test
# executable writes it to a file. And a Wine program whose output is a pipe
# (as under CTest) takes seconds longer to end, so the program writes to
# files, printed here when it ends.
set -uo pipefail
. "$(dirname "$0")/../scripts/lib.sh" wine-run
export WINEDEBUG=${WINEDEBUG:--all}
program=$1
shift
output=$(mktemp -p . .wine-run-XXXXXX)
errors=$output.err
report=$output.txt
at_exit rm -f "$output" "$errors" "$report"
case "$(basename "$program")" in
tst_*.exe) wine "$program" -o "$(basename "$report"),txt" "$@" >"$output" 2>"$errors" </dev/null ;;
*) wine "$program" "$@" >"$output" 2>"$errors" </dev/null ;;
esac
status=$?
cat "$output"
[ ! -f "$report" ] || cat "$report"
cat "$errors" >&2
exit "$status"
