#!/usr/bin/env bash
# Makes the Debian package from a configured and built folder (./build.sh
# package) and checks it: the packaged program has Debian's hardening
# (cmake/hardening.cmake: PIE, stack protector, read-only relocations bound
# at start; control flow protection is compiled in, but the system's start
# files lack it, so the program is not marked for it) and fortified calls,
# and the package's members have mode 644. Writes SHA256SUMS beside it.
#
#   packaging/deb.sh <build folder>
set -euo pipefail
. "$(dirname "$0")/../scripts/lib.sh" "build.sh package"
cd "$1"
rm -f morvesta_*.deb
cpack -G DEB </dev/null
rm -rf hardening && mkdir hardening
at_exit rm -rf "$PWD/hardening"
dpkg-deb -x morvesta_*.deb hardening
hardening-check -q --nofortify --nocfprotection hardening/usr/bin/morvesta >&2 ||
    fail "usr/bin/morvesta lacks the hardening above"
# Fortified calls: hardening-check finds none in the program, as the only
# libc calls fortification covers that it makes are memcpy and memmove of
# sizes known at run time only (in Qt's containers), which stay as they are.
# That the program's own compile fortifies is shown on a call whose size is
# known, compiled with the program's flags.
flags=$(sed -n 's/^CXX_\(DEFINES\|FLAGS\) = //p' app/CMakeFiles/morvesta.dir/flags.make)
echo '#include <cstring>
    char b[4]; void f(const char *s, unsigned long n) { std::memcpy(b, s, n); }' >hardening/probe.cpp
# shellcheck disable=SC2086 # (the flags, one a word)
c++ $flags -c hardening/probe.cpp -o hardening/probe.o && nm hardening/probe.o | grep __memcpy_chk >/dev/null ||
    fail "the program is compiled without fortified calls (_FORTIFY_SOURCE)"
! ar tv morvesta_*.deb | grep -v '^rw-r--r-- 0/0 ' >/dev/null || fail "the package's members do not have mode 644"
sha256sum morvesta_*.deb >SHA256SUMS
