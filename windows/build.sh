#!/usr/bin/env bash
# The Windows build, in stages that each run alone on an existing build
# folder (build-windows/, or BUILD_DIR), once "./build.sh windows" has put
# in what they need:
#
#   windows/build.sh [stage]...   the stages given, in the order given
#   windows/build.sh              all of them, in order (./build.sh windows)
#   windows/build.sh package      the release alone, without the tests
#                                 (./build.sh windows-package)
#   windows/build.sh help         the stages, a line each
#
# The stages are functions in windows/stages.sh, listed there in order. A
# build given a signing key (windows/sign.sh names its variables; those
# unset are also read from the build's CMake cache) signs the program, the
# uninstaller and the installer; it is a release, as one asked for with
# MORVESTA_RELEASE=1: it stops on uncommitted changes, and outside a git
# checkout. A failure stops it with one line and a non-zero exit.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
. "$root/scripts/lib.sh" "build.sh windows"
. "$root/windows/stages.sh"
build_env_hide_password
build_env_modes
build_env_cache
build=${BUILD_DIR:-build-windows}
case "$build" in /*) ;; *) build=$root/$build ;; esac
mkdir -p "$build"

case "${1:-all}" in
help | -h | --help)
    printf '%s\n' "usage: $0 [stage...|package|help]" "stages, in the order all of them run:" >&2
    printf '  %s\n' "${stages[@]}" >&2
    exit 0
    ;;
all) run=($(printf '%s\n' "${stages[@]}" | awk '/^[a-z]/ { print $1 }')) ;;
package) run=(qt build imports program installer source); tests=OFF ;;
*) run=("$@") ;;
esac
for stage in "${run[@]}"; do
    declare -F "stage_${stage//-/_}" >/dev/null || fail "no stage '$stage' (windows/build.sh help lists them)"
done

prepare "${run[@]}"
start=$SECONDS
for stage in "${run[@]}"; do
    stage_start=$SECONDS
    "stage_${stage//-/_}"
    say "$stage: done in $((SECONDS - stage_start)) s"
done
say "done in $((SECONDS - start)) s: ${run[*]}"
