#!/usr/bin/env bash
# The Windows build, run by "./build.sh windows" once the packages are in:
#   1. a static Qt for 64-bit Windows, built once into the cache (qt.sh);
#   2. the program and its tests cross-built into build-windows/;
#   3. the checks: morvesta.exe imports only Windows' own DLLs, is stripped
#      and at most 20 MB;
#   4. the whole test suite under Wine, on a private X server;
#   5. the installer, tried under Wine: silent install over an earlier
#      version, refused while that one runs, the installed program shows
#      its window and looks for nothing under Qt's configured prefix, silent
#      uninstall removes it (windows/try-installer.sh);
#   6. screenshots of the main window and of the summary under Wine;
#   7. the program and its installer built again from the corresponding
#      source, in a folder of their own: the same bytes (verify-release.sh).
# It also writes the third-party notices of the program, the corresponding
# source beside the installer (morvesta-<version>-source.tar: the project at
# this commit and Qt's source package) and SHA256SUMS of what it made.
# "windows/build.sh package" makes only the program and those files, without
# the tests, the tries under Wine, the screenshots or the second build.
#
# Given a signing key (windows/sign.sh names the variables; unset ones are
# also read from the build's CMake cache), the program, the uninstaller
# inside the installer and the installer are signed, and each signature is
# also written alone beside them (<file>.sig, Uninstall.exe.sig); without
# one they are left unsigned. A signed build is a release: like one asked
# for with MORVESTA_RELEASE=1, it stops when the checkout has uncommitted
# changes (a developer's build only says so).
# Any failure stops it with a one-line reason and a non-zero exit.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
mode=${1:-all}
case "$mode" in all | package) ;; *) echo "usage: $0 [package]" >&2; exit 2 ;; esac
. "$root/cmake/build-env.sh"
build_env_hide_password
build_env_modes
build=${BUILD_DIR:-build-windows}
case "$build" in /*) ;; *) build=$root/$build ;; esac
build_env_cache
cache=$MORVESTA_CACHE

step=starting
fail() {
    echo "build.sh windows: $*" >&2
    exit 1
}
trap 'fail "$step failed (line $LINENO)"' ERR
log() { echo "== $*" >&2; }

# The program's own private X server and Wine, stopped on the way out.
xvfb_pid=
cleanup() {
    if [ -n "${WINEPREFIX:-}" ]; then wineserver -k 2>/dev/null || true; fi
    if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
}
at_exit cleanup

start=$SECONDS

# What an earlier run released goes first: nothing this run does not make
# again may stay under a release file's name (an unsigned file where a
# signed one is expected above all).
mkdir -p "$build"
rm -rf "$build"/morvesta.exe "$build"/morvesta-*-win64.exe* "$build"/*.sig "$build/SHA256SUMS" \
    "$build/signatures"

step="reading the signing key"
# The key from the environment, else from the build's CMake cache.
for variable in MORVESTA_SIGN_PKCS12 MORVESTA_SIGN_PASSWORD_FILE MORVESTA_SIGN_PKCS11_MODULE \
    MORVESTA_SIGN_PKCS11_KEY MORVESTA_SIGN_CERTS MORVESTA_SIGN_TIMESTAMP_URL; do
    [ -z "${!variable:-}" ] && [ -f "$build/CMakeCache.txt" ] || continue
    value=$(sed -n "s/^$variable:[A-Z]*=//p" "$build/CMakeCache.txt")
    [ -z "$value" ] || export "$variable=$value"
done
# verify-release.sh asks to attach signatures (MORVESTA_SIGN_MODE=attach,
# MORVESTA_SIGN_FROM: the release's folder) instead of signing.
if [ "${MORVESTA_SIGN_MODE:-}" != attach ]; then
    # One line from sign.sh when the key is missing, unreadable or wrongly
    # protected, and nothing made.
    signing=$("$root/windows/sign.sh" check) || exit 1
    if [ "$signing" = sign ]; then export MORVESTA_SIGN_MODE=sign; else unset MORVESTA_SIGN_MODE; fi
fi
# The source archive holds the commit; the program is built from the tree.
# Outside a git checkout the archive would take every file of the tree, a
# key lying in it too: a release is signed from a checkout only.
uncommitted=0
if [ "$(git -C "$root" rev-parse --show-toplevel 2>/dev/null)" = "$root" ]; then
    [ -z "$(git -C "$root" status --porcelain)" ] || uncommitted=1
elif [ "${MORVESTA_SIGN_MODE:-}" = sign ]; then
    echo "build.sh windows: $root is no git checkout; a release is signed from one" >&2
    exit 1
fi
if [ "$uncommitted" = 1 ] && { [ "${MORVESTA_SIGN_MODE:-}" = sign ] || [ "${MORVESTA_RELEASE:-0}" = 1 ]; }; then
    echo "build.sh windows: $root has uncommitted changes; a release is built from a commit" >&2
    exit 1
fi

step="building Qt for Windows"
qt_prefix=$("$root/windows/qt.sh" | tail -n1)
[ -x "$qt_prefix/bin/qt-cmake" ] || fail "no usable Qt for Windows in $qt_prefix"
# Screen readers reach the program through Qt's UI Automation support.
grep -q '^#define QT_FEATURE_accessibility 1$' "$qt_prefix/include/QtGui/qtgui-config.h" ||
    fail "Qt for Windows in $qt_prefix was built without accessibility"
log "Qt for Windows: $qt_prefix ($((SECONDS - start)) s)"

# Wine: a prefix of our own in the cache, made once. Programs run in Wine's
# virtual desktop, which draws Windows frames and activates windows itself,
# as Windows does (without it the windows wait on an X window manager).
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=" # no Mono or Gecko installer prompts
# Wine registers its own fonts when a prefix is made: a prefix per Wine and
# per version of its fonts.
export WINEPREFIX=$cache/wine-$({
    wine --version
    dpkg-query -W -f='${Version}' fonts-wine
} | sha256sum | cut -c1-12)
export LANG=pt_BR.UTF-8
unset LC_ALL LC_NUMERIC LC_TIME LANGUAGE
desktop_size=1024x768

step="starting a private X server"
for display in $(seq 90 140); do
    [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ] && continue
    Xvfb ":$display" -screen 0 "${desktop_size}x24" -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 50); do
        [ -e "/tmp/.X11-unix/X$display" ] && break
        sleep 0.1
    done
    if [ -e "/tmp/.X11-unix/X$display" ] && kill -0 "$xvfb_pid" 2>/dev/null; then
        export DISPLAY=:$display
        break
    fi
    kill "$xvfb_pid" 2>/dev/null || true
    xvfb_pid=
done
[ -n "$xvfb_pid" ] || fail "could not start Xvfb on any display from :90 to :140"

step="preparing the Wine prefix"
# The prefix is this script's alone: one run at a time, and a Wine session
# left by an interrupted run (bound to its X server, gone now) is ended.
exec 8>"$cache/wine.lock"
flock 8
wineserver -k 2>/dev/null || true
if [ ! -f "$WINEPREFIX/.morvesta-complete" ]; then
    log "making the Wine prefix $WINEPREFIX"
    rm -rf "$WINEPREFIX"
    wineboot --init >/dev/null 2>&1
    wineserver -w
    # Wine draws its window frames' buttons with Marlett, which it finds only
    # in the prefix. Its other fonts stay out: its outline "MS Sans Serif" is
    # wider than the Windows one the window was laid out with.
    cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d "$desktop_size" /f >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.morvesta-complete"
fi
# The Wine session stays up between the programs, which then start in a
# moment. Its background services start here, away from the build's output:
# holding a pipe of the build tool open, they would keep it waiting.
wineserver -p
wineboot </dev/null >/dev/null 2>&1

step="configuring the Windows build"
tests=ON
[ "$mode" = all ] || tests=OFF
# The executables go to bin/, so the stripped program can sit at the top.
# Qt's toolchain file loads ours from this checkout, not from where Qt was
# built.
qt_cmake() {
    "$qt_prefix/bin/qt-cmake" --no-warn-unused-cli -G Ninja -DCMAKE_BUILD_TYPE=Release \
        "-DQT_CHAINLOAD_TOOLCHAIN_FILE=$root/windows/mingw-w64.cmake" \
        "-DCMAKE_CROSSCOMPILING_EMULATOR=$root/windows/wine-run.sh" "$@" </dev/null >/dev/null
}
qt_cmake -S . -B "$build" "-DCMAKE_RUNTIME_OUTPUT_DIRECTORY=$build/bin" "-DMORVESTA_BUILD_TESTS=$tests"
step="building for Windows"
cmake --build "$build" --parallel "$(nproc)" </dev/null
log "built ($((SECONDS - start)) s)"

step="checking the program's imports"
objdump() { LC_ALL=C x86_64-w64-mingw32-objdump "$@"; }
imports() { objdump -p "$1" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z'; }
# What every Windows since 10 has in its system folder (windows/dlls.txt):
# the program imports directly only the KnownDLLs among them, the tests any.
dlls() { awk -v how="$1" '!/^#/ && NF && (how == "" || $2 == how) { print $1 ".dll" }' "$root/windows/dlls.txt"; }
for exe in "$build"/bin/morvesta.exe $([ "$tests" = OFF ] || echo "$build"/bin/tst_*.exe); do
    listed=$(dlls "$([ "$(basename "$exe")" = morvesta.exe ] && echo known)")
    imported=$(imports "$exe")
    [ -n "$imported" ] || fail "could not read the imports of $exe"
    foreign=$(grep -vxF "$listed" <<<"$imported" || true)
    [ -z "$foreign" ] || fail "$(basename "$exe") imports $(echo $foreign) directly, which windows/dlls.txt does not allow"
done
# The program's own code has the stack protector and fortified calls
# (cmake/hardening.cmake; Qt keeps the flags it was built with), and its
# load configuration asks Windows to take its direct imports from the
# system folder only.
flags=$(awk '/^build app\/CMakeFiles\/morvesta.dir\/main.cpp.obj:/ { inside = 1; next }
              inside && /^  (DEFINES|FLAGS) = / { sub(/^  [A-Z]+ = /, ""); print; next }
              inside && !/^  / { exit }' "$build/build.ninja")
echo '#include <cstring>
    char b[4]; void f(const char *s, unsigned long n) { std::memcpy(b, s, n); }' >"$build/fortify-probe.cpp"
# shellcheck disable=SC2086 # (the flags, one a word)
x86_64-w64-mingw32-g++-posix $flags -c "$build/fortify-probe.cpp" -o "$build/fortify-probe.o" &&
    x86_64-w64-mingw32-nm "$build/fortify-probe.o" | grep __memcpy_chk >/dev/null ||
    fail "the program is compiled without fortified calls (_FORTIFY_SOURCE)"
x86_64-w64-mingw32-nm "$build/bin/morvesta.exe" | grep ' T __stack_chk_fail$' >/dev/null ||
    fail "morvesta.exe has no stack protector"
rm -f "$build/fortify-probe.cpp" "$build/fortify-probe.o"

step="staging the stripped program"
rm -rf "$build/stage"
cmake --install "$build" --strip --prefix "$build/stage" >/dev/null
unsigned_exe=$build/stage/bin/morvesta.exe
size=$(stat -c %s "$unsigned_exe")
[ "$size" -le 20000000 ] || fail "morvesta.exe is $size bytes, more than 20 MB"
objdump -h "$unsigned_exe" | grep -q '\.debug' && fail "morvesta.exe is not stripped"
log "morvesta.exe: $size bytes, imports: $(objdump -p "$unsigned_exe" |
    sed -n 's/^[[:space:]]*DLL Name: //p' | tr '\n' ' ')"
for file in LICENSE.txt THIRD-PARTY-NOTICES.txt; do
    [ -s "$build/stage/$file" ] || fail "the install has no $file beside the program"
done
perl "$root/windows/load-config.pl" check "$unsigned_exe" || exit 1

step="signing the program"
# The signatures, written or to be attached, and the uninstaller as makensis
# wrote it (signatures/uninstaller/), for sign.sh.
export MORVESTA_SIGNATURES=$build/signatures
mkdir -p "$MORVESTA_SIGNATURES"
if [ "${MORVESTA_SIGN_MODE:-}" = attach ]; then
    for signature in "$MORVESTA_SIGN_FROM"/*.sig; do
        [ ! -f "$signature" ] || cp "$signature" "$MORVESTA_SIGNATURES/"
    done
fi
"$root/windows/sign.sh" file "$unsigned_exe" "$build/morvesta.exe" "$MORVESTA_SIGNATURES/morvesta.exe.sig" ||
    exit 1

if [ "$mode" = all ]; then
    step="running the test suite under Wine"
    # Windows has its calculator, calc.exe, in its system folder; Wine has
    # none, so the tests' stand-in program takes its place in our prefix.
    cp "$build/bin/standin.exe" "$WINEPREFIX/drive_c/windows/system32/calc.exe"
    suite_start=$SECONDS
    (cd "$build" && ctest --output-on-failure --timeout 300 </dev/null)
    log "test suite under Wine: $((SECONDS - suite_start)) s"
fi

step="making the installer"
rm -f "$build"/morvesta-*-win64.exe
# The installer takes the program as released (signed, when it is), and
# makensis hands the uninstaller to sign.sh before packing it in
# (cmake/cpack-options.cmake, cmake/sign-staged.cmake).
(cd "$build" && MORVESTA_UNSIGNED_EXE=$unsigned_exe MORVESTA_RELEASED_EXE=$build/morvesta.exe \
    cpack -G NSIS </dev/null >"$build/cpack.log" 2>&1) ||
    fail "cpack failed: $({ grep -ho -m1 -E 'sign-staged: .*' "$build/cpack.log" ||
        grep -h -m1 '^sign: ' "$build"/_CPack_Packages/*/NSIS/NSISOutput.log ||
        grep -m1 'CPack Error' "$build/cpack.log" || tail -n1 "$build/cpack.log"; } 2>/dev/null)"
installer=$(ls "$build"/morvesta-*-win64.exe 2>/dev/null || true)
[ -n "$installer" ] || fail "cpack made no installer in $build"
version=$(basename "$installer" | sed 's/^morvesta-\(.*\)-win64\.exe$/\1/')
step="signing the installer"
mv "$installer" "$MORVESTA_SIGNATURES/$(basename "$installer").unsigned"
"$root/windows/sign.sh" file "$MORVESTA_SIGNATURES/$(basename "$installer").unsigned" "$installer" \
    "$MORVESTA_SIGNATURES/$(basename "$installer").sig" || exit 1
step="checking the programs' PE flags"
uninstaller=()
[ ! -f "$MORVESTA_SIGNATURES/uninstaller/Uninstall.exe" ] || uninstaller=("$MORVESTA_SIGNATURES/uninstaller/Uninstall.exe")
"$root/windows/pe-flags.sh" "$build/morvesta.exe" --stubs "$installer" "${uninstaller[@]}" || exit 1

step="writing the corresponding source"
# What the LGPL asks to come with a program linked statically with Qt: the
# program's source at this commit and Qt's source package as qt.sh fetched
# it, packed as the rest is, with the commit's time and in name order.
epoch=$(build_env_epoch "$build")
[ -n "$epoch" ] || fail "no SOURCE_DATE_EPOCH in $build/CPackConfig.cmake"
name=morvesta-$version-source
rm -rf "$build/source"
mkdir -p "$build/source/$name/morvesta-$version" "$build/source/$name/qt6-base"
"$root/windows/source-tar.sh" | tar -x -C "$build/source/$name/morvesta-$version"
cp "$qt_prefix"/source/* "$build/source/$name/qt6-base/"
LC_ALL=C tar --sort=name --mtime="@$epoch" --owner=0 --group=0 --numeric-owner \
    --mode='u+rwX,go+rX,go-w' --format=gnu -C "$build/source" -cf "$build/$name.tar" "$name"
rm -rf "$build/source"
release=(morvesta.exe "$(basename "$installer")" "$name.tar")
for signature in "${release[@]/%/.sig}" Uninstall.exe.sig; do
    [ ! -f "$MORVESTA_SIGNATURES/$signature" ] || { cp "$MORVESTA_SIGNATURES/$signature" "$build/" && release+=("$signature"); }
done
(cd "$build" && sha256sum "${release[@]}" >SHA256SUMS)

if [ "$mode" = all ]; then
    step="making an installer of an earlier version"
    # The same tree as an earlier version, to try an upgrade over it: only
    # the program, without its tests.
    earlier=$build/earlier
    qt_cmake -S . -B "$earlier" -DMORVESTA_VERSION=0.9.0 -DMORVESTA_BUILD_TESTS=OFF
    cmake --build "$earlier" --parallel "$(nproc)" </dev/null >/dev/null
    rm -f "$earlier"/morvesta-*-win64.exe
    (cd "$earlier" && env -u MORVESTA_SIGN_MODE cpack -G NSIS </dev/null >/dev/null)
    [ -f "$earlier/morvesta-0.9.0-win64.exe" ] || fail "cpack made no installer in $earlier"

    step="trying the program beside planted DLLs"
    "$root/windows/try-planted-dlls.sh" "$build/morvesta.exe" "$build/bin/planted.dll" "$build/bin/winprobe.exe"

    step="trying the installer under Wine"
    # Where QtCore believes it is installed (the path QLibraryInfo starts
    # from), in which the program must look for nothing.
    qt_configured=$(strings "$qt_prefix/lib/libQt6Core.a" | sed -n 's/^qt_prfxpath=//p' | sort -u)
    [ -n "$qt_configured" ] && [ "$(wc -l <<<"$qt_configured")" -eq 1 ] ||
        fail "found no single configured prefix in $qt_prefix/lib/libQt6Core.a"
    "$root/windows/try-installer.sh" "$installer" "$earlier/morvesta-0.9.0-win64.exe" "$qt_configured" \
        "$build/bin/winprobe.exe"

    step="taking the screenshots"
    "$root/windows/screenshots.sh" "$build/morvesta.exe" "$build" "$build/bin/winprobe.exe"

    step="building again from the corresponding source"
    if [ "$uncommitted" = 1 ]; then
        log "not built again from the source archive: it holds the commit, without the uncommitted changes"
    else
        # In a folder of its own, with its own Wine session: this one's ends.
        wineserver -k 2>/dev/null || true
        exec 8>&-
        rebuild_start=$SECONDS
        "$root/windows/verify-release.sh" "$build" || exit 1
        log "built again from the source archive, the same bytes: $((SECONDS - rebuild_start)) s"
    fi
fi

trap - ERR
log "done in $((SECONDS - start)) s: $build/morvesta.exe, $installer"
