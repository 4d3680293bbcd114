#!/usr/bin/env bash
# Installs what is missing (Debian/Ubuntu), builds, and then runs the program
# ("./build.sh run") or the test suite ("./build.sh test"). "./build.sh
# sanitize" builds with AddressSanitizer and UndefinedBehaviorSanitizer into
# build-sanitize/ and runs the test suite there.
set -euo pipefail
cd "$(dirname "$0")"

packages=(g++ cmake make qt6-base-dev qt6-base-dev-tools fonts-liberation fonts-urw-base35)
missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        missing+=("$package")
done
if ((${#missing[@]})); then
    sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    export DEBIAN_FRONTEND=noninteractive
    "${sudo[@]}" apt-get update -qq </dev/null
    "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" </dev/null
fi

mode=${1:-run}
case "$mode" in
run | test) build=${BUILD_DIR:-build}; options=() ;;
sanitize) build=${BUILD_DIR:-build-sanitize}; options=(-DMORVESTA_SANITIZE=ON) ;;
*) echo "usage: $0 [run|test|sanitize]" >&2; exit 2 ;;
esac
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${options[@]}" </dev/null
cmake --build "$build" --parallel "$(nproc)" </dev/null

if [ "$mode" = run ]; then
    exec "$build/app/morvesta"
fi
cd "$build"
exec ctest --output-on-failure --timeout 300 </dev/null
