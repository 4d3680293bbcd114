#!/usr/bin/env bash
# Installs what is missing (Debian/Ubuntu), builds, and then runs the program
# ("./build.sh run") or the test suite ("./build.sh test"). "./build.sh
# sanitize" builds with AddressSanitizer and UndefinedBehaviorSanitizer into
# build-sanitize/ and runs the test suite there. "./build.sh windows"
# cross-builds for Windows into build-windows/, runs the test suite under
# Wine and makes morvesta.exe and its installer (windows/build.sh).
# "./build.sh package" makes the Debian package alone (build-package/), and
# "./build.sh windows-package" the Windows program and installer alone, each
# with SHA256SUMS; "./build.sh reproduce" runs .ci/reproduce, which makes
# both twice and compares them.
set -euo pipefail
cd "$(dirname "$0")"
# Files and folders get the usual modes whatever the caller's umask, as
# dpkg-buildpackage does: they go into the packages as they are.
umask 022

mode=${1:-run}
packages=(g++ cmake make qt6-base-dev qt6-base-dev-tools fonts-liberation fonts-urw-base35)
# The suite also reads the program over the accessibility bus, as a screen
# reader does, and takes an order with Orca, on its own X server (with
# openbox, keys typed through xdotool) and session bus, in Brazilian
# Portuguese.
screen_reader=(xvfb dbus-daemon at-spi2-core python3-pyatspi orca openbox xdotool locales)
# Qt for Windows and what the Windows program is made and tried with.
windows=(g++-mingw-w64-x86-64-posix ninja-build perl dpkg-dev xz-utils ca-certificates
    wine wine64 fonts-wine fonts-texgyre xvfb nsis locales xdotool imagemagick strace)
case "$mode" in
run) build=${BUILD_DIR:-build}; options=() ;;
test) build=${BUILD_DIR:-build}; options=(-DMORVESTA_BUILD_TESTS=ON); packages+=("${screen_reader[@]}") ;;
sanitize)
    build=${BUILD_DIR:-build-sanitize}
    options=(-DMORVESTA_SANITIZE=ON -DMORVESTA_BUILD_TESTS=ON)
    packages+=("${screen_reader[@]}")
    ;;
# CPack's Debian generator finds the program's libraries with file and
# dpkg-shlibdeps.
package) build=${BUILD_DIR:-build-package}; options=(-DMORVESTA_BUILD_TESTS=OFF); packages+=(dpkg-dev file) ;;
windows | windows-package)
    # The cross compiler, what fetches and builds Qt's source, Wine with its
    # X server and a Bookman look-alike Windows can draw (the Windows program
    # takes no URW Bookman), NSIS, what drives the program for the
    # screenshots, and strace, which sees what files it looks for.
    packages+=("${windows[@]}")
    ;;
# Both packages, and diffoscope to show where two builds differ.
reproduce) packages+=(dpkg-dev file "${windows[@]}" diffoscope-minimal) ;;
*) echo "usage: $0 [run|test|sanitize|windows|package|windows-package|reproduce]" >&2; exit 2 ;;
esac

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

case "$mode" in
test | sanitize | windows | windows-package | reproduce)
    # Orca, and Wine for its regional setting, speak the system's Brazilian
    # Portuguese locale, which must exist for them.
    locale -a 2>/dev/null | grep -qix 'pt_BR.utf8' ||
        "${sudo[@]}" localedef -i pt_BR -f UTF-8 pt_BR.UTF-8 </dev/null
    ;;
esac
case "$mode" in
windows) exec windows/build.sh ;;
windows-package) exec windows/build.sh package ;;
reproduce) exec .ci/reproduce ;;
esac
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${options[@]}" </dev/null
cmake --build "$build" --parallel "$(nproc)" </dev/null

if [ "$mode" = run ]; then
    exec "$build/app/morvesta"
fi
if [ "$mode" = package ]; then
    cd "$build"
    rm -f morvesta_*.deb
    cpack -G DEB </dev/null
    sha256sum morvesta_*.deb >SHA256SUMS
    exit 0
fi
cd "$build"
exec ctest --output-on-failure --timeout 300 </dev/null
