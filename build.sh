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
# both twice and compares them. "./build.sh verify-release DIR" rebuilds the
# Windows release in DIR from its source archive and checks that each signed
# file there is that build plus its signature (windows/verify-release.sh).
set -euo pipefail
caller=$PWD
cd "$(dirname "$0")"
. cmake/build-env.sh
build_env_hide_password
build_env_modes

mode=${1:-run}
# (git: the build takes the commit's time from it, and a release is checked
# against the commit it names.)
packages=(g++ cmake make git qt6-base-dev qt6-base-dev-tools fonts-liberation fonts-urw-base35)
# The suite also reads the program over the accessibility bus, as a screen
# reader does, and takes an order with Orca, on its own X server (with
# openbox, keys typed through xdotool) and session bus, in Brazilian
# Portuguese.
screen_reader=(xvfb dbus-daemon at-spi2-core python3-pyatspi orca openbox xdotool locales)
# Qt for Windows and what the Windows program is made and tried with.
windows=(g++-mingw-w64-x86-64-posix ninja-build perl dpkg-dev xz-utils ca-certificates
    wine wine64 fonts-wine fonts-texgyre xvfb nsis locales xdotool imagemagick strace osslsigncode)
case "$mode" in
run) build=${BUILD_DIR:-build}; options=() ;;
test) build=${BUILD_DIR:-build}; options=(-DMORVESTA_BUILD_TESTS=ON); packages+=("${screen_reader[@]}") ;;
sanitize)
    build=${BUILD_DIR:-build-sanitize}
    options=(-DMORVESTA_SANITIZE=ON -DMORVESTA_BUILD_TESTS=ON)
    packages+=("${screen_reader[@]}")
    ;;
# CPack's Debian generator finds the program's libraries with file and
# dpkg-shlibdeps; hardening-check (devscripts) checks the packaged program.
package) build=${BUILD_DIR:-build-package}; options=(-DMORVESTA_BUILD_TESTS=OFF); packages+=(dpkg-dev file devscripts) ;;
windows | windows-package | verify-release)
    # The cross compiler, what fetches and builds Qt's source, Wine with its
    # X server and a Bookman look-alike Windows can draw (the Windows program
    # takes no URW Bookman), NSIS, what drives the program for the
    # screenshots, and strace, which sees what files it looks for.
    packages+=("${windows[@]}")
    ;;
# Both packages, and diffoscope to show where two builds differ.
reproduce) packages+=(dpkg-dev file devscripts "${windows[@]}" diffoscope-minimal) ;;
*) echo "usage: $0 [run|test|sanitize|windows|package|windows-package|reproduce|verify-release DIR]" >&2; exit 2 ;;
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
test | sanitize | windows | windows-package | reproduce | verify-release)
    # Orca, and Wine for its regional setting, speak the system's Brazilian
    # Portuguese locale, which must exist for them.
    locale -a 2>/dev/null | grep -qix 'pt_BR.utf8' ||
        "${sudo[@]}" localedef -i pt_BR -f UTF-8 pt_BR.UTF-8 </dev/null
    ;;
esac
# (Not exec'd: the file holding a signing password goes when this ends.)
case "$mode" in
windows) windows/build.sh; exit ;;
windows-package) windows/build.sh package; exit ;;
reproduce) exec .ci/reproduce ;;
verify-release)
    [ $# -eq 2 ] && [ -d "$caller/$2" -o -d "$2" ] || { echo "usage: $0 verify-release DIR" >&2; exit 2; }
    exec windows/verify-release.sh "$(cd "$caller" && cd "$2" && pwd)"
    ;;
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
    # The packaged program has Debian's hardening (cmake/hardening.cmake):
    # PIE, stack protector, read-only relocations bound at start. (Control
    # flow protection is compiled in, but the system's start files lack it,
    # so the program is not marked for it.)
    rm -rf hardening && mkdir hardening
    dpkg-deb -x morvesta_*.deb hardening
    hardening-check -q --nofortify --nocfprotection hardening/usr/bin/morvesta >&2 ||
        { echo "build.sh package: usr/bin/morvesta lacks the hardening above" >&2; exit 1; }
    # Fortified calls: hardening-check finds none in the program, as the only
    # libc calls fortification covers that it makes are memcpy and memmove of
    # sizes known at run time only (in Qt's containers), which stay as they
    # are. That the program's own compile fortifies is shown on a call whose
    # size is known, compiled with the program's flags.
    flags=$(sed -n 's/^CXX_\(DEFINES\|FLAGS\) = //p' app/CMakeFiles/morvesta.dir/flags.make)
    echo '#include <cstring>
        char b[4]; void f(const char *s, unsigned long n) { std::memcpy(b, s, n); }' >hardening/probe.cpp
    # shellcheck disable=SC2086 # (the flags, one a word)
    c++ $flags -c hardening/probe.cpp -o hardening/probe.o && nm hardening/probe.o | grep -q __memcpy_chk ||
        { echo "build.sh package: the program is compiled without fortified calls (_FORTIFY_SOURCE)" >&2; exit 1; }
    rm -rf hardening
    ar tv morvesta_*.deb | grep -qv '^rw-r--r-- 0/0 ' &&
        { echo "build.sh package: the package's members do not have mode 644" >&2; exit 1; }
    sha256sum morvesta_*.deb >SHA256SUMS
    exit 0
fi
cd "$build"
exec ctest --output-on-failure --timeout 300 </dev/null
