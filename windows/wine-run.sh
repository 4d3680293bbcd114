#!/usr/bin/env bash
# Runs a Windows program of the cross-build under Wine, for CMake and CTest
# (CMAKE_CROSSCOMPILING_EMULATOR): the build's tools and the test
# executables. The exit code is the program's.
#
# Under Wine a Qt test's report to standard output is lost, so a test
# executable writes it to a file, printed here when the test ends.
set -uo pipefail
export WINEDEBUG=${WINEDEBUG:--all}
program=$1
shift
case "$(basename "$program")" in
tst_*.exe)
    report=$(mktemp -p . .wine-test-XXXXXX.txt)
    wine "$program" -o "$(basename "$report"),txt" "$@"
    status=$?
    cat "$report"
    rm -f "$report"
    exit "$status"
    ;;
*) exec wine "$program" "$@" ;;
esac
