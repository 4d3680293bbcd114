#!/usr/bin/env bash
# Installs what is missing (Debian/Ubuntu, with apt-get, as root or through
# sudo), then builds and runs, tests or packages the program:
#
#   ./build.sh [mode] [argument]        (default mode: run)
#
# mode             packages it needs          what it does
# run              base                       builds into build/ and starts the program
# test             base reader                builds with the tests into build/, runs them (CTest)
# sanitize         base reader                the same with ASan and UBSan, in build-sanitize/
# package          base deb                   the Debian package, checked (packaging/deb.sh)
# windows          base windows               the Windows build, every stage (windows/build.sh)
# windows-package  base windows               the Windows release alone (windows/build.sh package)
# reproduce        base deb windows diff      both built twice and compared (.ci/reproduce)
# verify-release   base windows               checks a Windows release in a folder (windows/verify-release.sh DIR)
set -euo pipefail
caller=$PWD
cd "$(dirname "$0")"
. scripts/lib.sh build.sh
build_env_hide_password
build_env_modes

mode=${1:-run}
table=$(sed -n 's/^# \([a-z-]*\)  \+\(base\( [a-z]\+\)*\)  .*/\1:\2/p' build.sh)
grep -q "^$mode:" <<<"$table" ||
    { echo "usage: $0 [$(cut -d: -f1 <<<"$table" | tr '\n' '|' | sed 's/|$//')] [argument]" >&2; exit 2; }

# (git: the build takes the commit's time from it, and a release is checked
# against the commit it names.)
base=(g++ cmake make git qt6-base-dev qt6-base-dev-tools fonts-liberation fonts-urw-base35)
# The suite also reads the program over the accessibility bus, as a screen
# reader does, and takes an order with Orca, on its own X server (with
# openbox, keys typed through xdotool) and session bus, in Brazilian
# Portuguese.
reader=(xvfb dbus-daemon at-spi2-core python3-pyatspi orca openbox xdotool locales)
# CPack's Debian generator finds the program's libraries with file and
# dpkg-shlibdeps; hardening-check (devscripts) checks the packaged program.
deb=(dpkg-dev file devscripts)
# The cross compiler, what fetches and builds Qt's source, Wine with its X
# server and a Bookman look-alike Windows can draw (the Windows program takes
# no URW Bookman), NSIS, what drives the program for the screenshots, strace,
# which sees what files it looks for, and osslsigncode, which signs.
windows=(g++-mingw-w64-x86-64-posix ninja-build perl dpkg-dev xz-utils ca-certificates
    wine wine64 fonts-wine fonts-texgyre xvfb nsis locales xdotool imagemagick strace osslsigncode)
# diffoscope shows where two builds differ.
diff=(diffoscope-minimal)

packages=()
for list in $(sed -n "s/^$mode://p" <<<"$table"); do
    eval "packages+=(\"\${${list}[@]}\")"
done
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        missing+=("$package")
done
if ((${#missing[@]})); then
    export DEBIAN_FRONTEND=noninteractive
    "${sudo[@]}" apt-get update -qq </dev/null
    "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" </dev/null
fi
# Orca, and Wine for its regional setting, speak the system's Brazilian
# Portuguese locale, which must exist for them.
if [[ " ${packages[*]} " == *" locales "* ]]; then
    locale -a 2>/dev/null | grep -qix 'pt_BR.utf8' ||
        "${sudo[@]}" localedef -i pt_BR -f UTF-8 pt_BR.UTF-8 </dev/null
fi

# (Nothing is exec'd: the file holding a signing password goes when this ends.)
configure() {
    cmake -S . -B "$1" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${@:2}" </dev/null
    cmake --build "$1" --parallel "$(nproc)" </dev/null
}
suite() { (cd "$1" && ctest --output-on-failure --timeout 300 </dev/null); }
build=${BUILD_DIR:-build}
case "$mode" in
run)
    configure "$build"
    "$build/app/morvesta"
    ;;
test)
    configure "$build" -DMORVESTA_BUILD_TESTS=ON
    suite "$build"
    ;;
sanitize)
    build=${BUILD_DIR:-build-sanitize}
    configure "$build" -DMORVESTA_SANITIZE=ON -DMORVESTA_BUILD_TESTS=ON
    suite "$build"
    ;;
package)
    build=${BUILD_DIR:-build-package}
    configure "$build" -DMORVESTA_BUILD_TESTS=OFF
    packaging/deb.sh "$build"
    ;;
windows) windows/build.sh ;;
windows-package) windows/build.sh package ;;
reproduce) .ci/reproduce ;;
verify-release)
    [ $# -eq 2 ] && { [ -d "$caller/$2" ] || [ -d "$2" ]; } || { echo "usage: $0 verify-release DIR" >&2; exit 2; }
    windows/verify-release.sh "$(cd "$caller" && cd "$2" && pwd)"
    ;;
esac
