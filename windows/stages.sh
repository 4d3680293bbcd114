# The stages of the Windows build (windows/build.sh), sourced by it: one
# function each, stage_<name>, in the order "all" runs them. Each finds what
# an earlier stage made in the build folder ($build); a stage that needs
# Qt, the signing key or Wine sets them up itself, once.

# stage            what it makes or checks
stages=(
    "qt              a static Qt for 64-bit Windows, built once into the cache (windows/qt.sh)"
    "build           the program and its tests, cross-built into the build folder"
    "imports         the program imports only KnownDLLs directly (windows/dlls.txt), the tests only"
    "                Windows' own DLLs; the program's code has the stack protector and fortified calls"
    "program         the stripped program, at most 20 MB, its licence and notices beside it, its load"
    "                configuration in place; signed, with a key (morvesta.exe)"
    "suite           the whole test suite under Wine, in Brazilian Portuguese"
    "installer       the NSIS installer, signed with its uninstaller, with a key; their PE flags"
    "                (windows/pe-flags.sh)"
    "source          the corresponding source archive (morvesta-<version>-source.tar) and SHA256SUMS"
    "planted-dlls    the program beside planted DLLs (windows/try-planted-dlls.sh)"
    "installer-tries the installer under Wine (windows/try-installer.sh), with an earlier version's"
    "screenshots     the main window and a summary under Wine (windows/screenshots.sh)"
    "rebuild         the release built again from its source archive, the same bytes"
    "                (windows/verify-release.sh)"
)

objdump() { LC_ALL=C x86_64-w64-mingw32-objdump "$@"; }

# Qt for Windows: $qt_prefix.
use_qt() {
    [ -z "${qt_prefix:-}" ] || return 0
    qt_prefix=$("$root/windows/qt.sh" | tail -n1) || fail "Qt for Windows could not be built (windows/qt.sh)"
    [ -x "$qt_prefix/bin/qt-cmake" ] || fail "no usable Qt for Windows in $qt_prefix"
    # Screen readers reach the program through Qt's UI Automation support.
    grep -q '^#define QT_FEATURE_accessibility 1$' "$qt_prefix/include/QtGui/qtgui-config.h" ||
        fail "Qt for Windows in $qt_prefix was built without accessibility"
}

# The executables go to bin/, so the stripped program can sit at the top.
# Qt's toolchain file loads ours from this checkout, not from where Qt was
# built.
qt_cmake() {
    "$qt_prefix/bin/qt-cmake" --no-warn-unused-cli -G Ninja -DCMAKE_BUILD_TYPE=Release \
        "-DQT_CHAINLOAD_TOOLCHAIN_FILE=$root/windows/mingw-w64.cmake" \
        "-DCMAKE_CROSSCOMPILING_EMULATOR=$root/windows/wine-run.sh" "$@" </dev/null >/dev/null
}

# The signing key, from the environment, else from the build's CMake cache;
# MORVESTA_SIGN_MODE=sign with one. verify-release.sh asks instead to attach
# the signatures of a release (MORVESTA_SIGN_MODE=attach, MORVESTA_SIGN_FROM:
# the release's folder). The signatures, made or to be attached, and the
# uninstaller as makensis wrote it go to $MORVESTA_SIGNATURES.
use_signing() {
    [ -z "${signing_checked:-}" ] || return 0
    signing_checked=1
    local variable value
    for variable in MORVESTA_SIGN_PKCS12 MORVESTA_SIGN_PASSWORD_FILE MORVESTA_SIGN_PKCS11_MODULE \
        MORVESTA_SIGN_PKCS11_KEY MORVESTA_SIGN_CERTS MORVESTA_SIGN_TIMESTAMP_URL; do
        [ -z "${!variable:-}" ] && [ -f "$build/CMakeCache.txt" ] || continue
        value=$(sed -n "s/^$variable:[A-Z]*=//p" "$build/CMakeCache.txt")
        [ -z "$value" ] || export "$variable=$value"
    done
    if [ "${MORVESTA_SIGN_MODE:-}" != attach ]; then
        # One line from sign.sh when the key is missing, unreadable or
        # wrongly protected, and nothing made.
        local key
        key=$("$root/windows/sign.sh" check) || exit 1
        if [ "$key" = sign ]; then export MORVESTA_SIGN_MODE=sign; else unset MORVESTA_SIGN_MODE; fi
    fi
    # The source archive holds the commit; the program is built from the
    # tree. Outside a git checkout the archive would take every file of the
    # tree, a key lying in it too: a release is signed from a checkout only.
    local release=0
    [ "${MORVESTA_SIGN_MODE:-}" != sign ] && [ "${MORVESTA_RELEASE:-0}" != 1 ] || release=1
    if [ "$(git -C "$root" rev-parse --show-toplevel 2>/dev/null)" != "$root" ]; then
        [ "${MORVESTA_SIGN_MODE:-}" != sign ] || fail "$root is no git checkout; a release is signed from one"
    elif [ "$release" = 1 ] && ! committed; then
        fail "$root has uncommitted changes; a release is built from a commit"
    fi
    export MORVESTA_SIGNATURES=$build/signatures
    mkdir -p "$MORVESTA_SIGNATURES"
    if [ "${MORVESTA_SIGN_MODE:-}" = attach ]; then
        local signature
        for signature in "$MORVESTA_SIGN_FROM"/*.sig; do
            [ ! -f "$signature" ] || cp "$signature" "$MORVESTA_SIGNATURES/"
        done
    fi
}
# A git checkout without uncommitted changes.
committed() {
    [ "$(git -C "$root" rev-parse --show-toplevel 2>/dev/null)" = "$root" ] &&
        [ -z "$(git -C "$root" status --porcelain)" ]
}

# Wine on a private X server, with a prefix of our own in the cache, made
# once. Programs run in Wine's virtual desktop, which draws Windows frames
# and activates windows itself, as Windows does (without it the windows wait
# on an X window manager).
use_wine() {
    [ -z "${WINEPREFIX:-}" ] || return 0
    local desktop_size=1024x768
    start_x_server "$desktop_size"
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml=" # no Mono or Gecko installer prompts
    export LANG=pt_BR.UTF-8
    unset LC_ALL LC_NUMERIC LC_TIME LANGUAGE
    # Wine registers its own fonts when a prefix is made: a prefix per Wine
    # and per version of its fonts.
    export WINEPREFIX=$MORVESTA_CACHE/wine-$({
        wine --version
        dpkg-query -W -f='${Version}' fonts-wine
    } | sha256sum | cut -c1-12)
    # The prefix is this build's alone: one at a time, and a Wine session
    # left by an interrupted run (bound to its X server, gone now) is ended.
    exec 8>"$MORVESTA_CACHE/wine.lock"
    flock 8
    at_exit wineserver -k
    wineserver -k 2>/dev/null || true
    if [ ! -f "$WINEPREFIX/.morvesta-complete" ]; then
        say "making the Wine prefix $WINEPREFIX"
        rm -rf "$WINEPREFIX"
        wineboot --init >/dev/null 2>&1
        wineserver -w
        # Wine draws its window frames' buttons with Marlett, which it finds
        # only in the prefix. Its other fonts stay out: its outline "MS Sans
        # Serif" is wider than the Windows one the window was laid out with.
        cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
        wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
        wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d "$desktop_size" /f >/dev/null 2>&1
        wineserver -w
        touch "$WINEPREFIX/.morvesta-complete"
    fi
    # The session stays up between the programs, which then start in a
    # moment. Its background services start here, away from the build's
    # output: holding a pipe of the build tool open, they would keep it
    # waiting.
    wineserver -p
    wineboot </dev/null >/dev/null 2>&1
}
# Ends the Wine session, for a build of its own to have it.
end_wine() {
    [ -n "${WINEPREFIX:-}" ] || return 0
    wineserver -k 2>/dev/null || true
    exec 8>&-
    unset WINEPREFIX
}

# The installer in the build folder, and its version.
use_installer() {
    installer=$(ls "$build"/morvesta-*-win64.exe 2>/dev/null || true)
    [ -n "$installer" ] && [ "$(wc -l <<<"$installer")" -eq 1 ] ||
        fail "no single installer in $build: run the installer stage first"
    version=$(basename "$installer" | sed 's/^morvesta-\(.*\)-win64\.exe$/\1/')
}
need() { [ -e "$1" ] || fail "no $(basename "$1") in $(dirname "$1"): run the $2 stage first"; }

stage_qt() {
    use_qt
    say "Qt for Windows: $qt_prefix"
}

stage_build() {
    use_qt
    qt_cmake -S "$root" -B "$build" "-DCMAKE_RUNTIME_OUTPUT_DIRECTORY=$build/bin" \
        "-DMORVESTA_BUILD_TESTS=${tests:-ON}"
    cmake --build "$build" --parallel "$(nproc)" </dev/null
}

stage_imports() {
    need "$build/bin/morvesta.exe" build
    # What every Windows since 10 has in its system folder: the program
    # imports directly only the KnownDLLs among them, the tests any.
    local exe listed imported foreign flags
    for exe in "$build"/bin/morvesta.exe "$build"/bin/tst_*.exe; do
        [ -f "$exe" ] || continue
        listed=$(awk -v how="$([ "$(basename "$exe")" = morvesta.exe ] && echo known)" \
            '!/^#/ && NF && (how == "" || $2 == how) { print $1 ".dll" }' "$root/windows/dlls.txt")
        imported=$(objdump -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z')
        [ -n "$imported" ] || fail "could not read the imports of $exe"
        foreign=$(grep -vxF "$listed" <<<"$imported" || true)
        [ -z "$foreign" ] ||
            fail "$(basename "$exe") imports $(echo $foreign) directly, which windows/dlls.txt does not allow"
    done
    # The program's own code has the stack protector and fortified calls
    # (cmake/hardening.cmake; Qt keeps the flags it was built with): a call
    # of a size known at compile time, compiled with the program's flags,
    # is fortified.
    flags=$(awk '/^build app\/CMakeFiles\/morvesta.dir\/main.cpp.obj:/ { inside = 1; next }
                 inside && /^  (DEFINES|FLAGS) = / { sub(/^  [A-Z]+ = /, ""); print; next }
                 inside && !/^  / { exit }' "$build/build.ninja")
    echo '#include <cstring>
        char b[4]; void f(const char *s, unsigned long n) { std::memcpy(b, s, n); }' >"$build/fortify.cpp"
    # shellcheck disable=SC2086 # (the flags, one a word)
    x86_64-w64-mingw32-g++-posix $flags -c "$build/fortify.cpp" -o "$build/fortify.o" &&
        x86_64-w64-mingw32-nm "$build/fortify.o" | grep __memcpy_chk >/dev/null ||
        fail "the program is compiled without fortified calls (_FORTIFY_SOURCE)"
    rm -f "$build/fortify.cpp" "$build/fortify.o"
    x86_64-w64-mingw32-nm "$build/bin/morvesta.exe" | grep ' T __stack_chk_fail$' >/dev/null ||
        fail "morvesta.exe has no stack protector"
}

# Before the first stage: a run that makes the program removes what an
# earlier run released, since nothing this run does not make again may stay
# under a release file's name (an unsigned file where a signed one is
# expected above all); and a run that signs reads its key, so that a bad
# one stops it with one line before anything is made.
#   prepare <stage>...
prepare() {
    if [[ " $* " == *" program "* ]]; then
        rm -rf "$build"/morvesta.exe "$build"/morvesta-*-win64.exe* "$build"/*.sig "$build/SHA256SUMS" \
            "$build/signatures"
    fi
    if [[ " $* " == *" program "* || " $* " == *" installer "* ]]; then
        use_signing
    fi
}

stage_program() {
    need "$build/bin/morvesta.exe" build
    use_signing
    rm -rf "$build/stage"
    cmake --install "$build" --strip --prefix "$build/stage" >/dev/null
    local exe=$build/stage/bin/morvesta.exe size file
    size=$(stat -c %s "$exe")
    [ "$size" -le 20000000 ] || fail "morvesta.exe is $size bytes, more than 20 MB"
    ! objdump -h "$exe" | grep -q '\.debug' || fail "morvesta.exe is not stripped"
    for file in LICENSE.txt THIRD-PARTY-NOTICES.txt; do
        [ -s "$build/stage/$file" ] || fail "the install has no $file beside the program"
    done
    perl "$root/windows/load-config.pl" check "$exe" || exit 1
    "$root/windows/sign.sh" file "$exe" "$build/morvesta.exe" "$MORVESTA_SIGNATURES/morvesta.exe.sig" ||
        exit 1
    say "morvesta.exe: $size bytes, imports: $(objdump -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p' |
        tr '\n' ' ')"
}

stage_suite() {
    grep -q '^MORVESTA_BUILD_TESTS:BOOL=ON$' "$build/CMakeCache.txt" 2>/dev/null ||
        fail "$build is configured without the tests: run the build stage (not package)"
    use_wine
    # Windows has its calculator, calc.exe, in its system folder; Wine has
    # none, so the tests' stand-in program takes its place in our prefix.
    cp "$build/bin/standin.exe" "$WINEPREFIX/drive_c/windows/system32/calc.exe"
    (cd "$build" && ctest --output-on-failure --no-tests=error --timeout 300 </dev/null)
}

stage_installer() {
    need "$build/morvesta.exe" program
    use_signing
    rm -f "$build"/morvesta-*-win64.exe* "$build/SHA256SUMS"
    # The installer takes the program as released (signed, when it is), and
    # makensis hands the uninstaller to sign.sh before packing it in
    # (windows/cpack-options.cmake, windows/sign-staged.cmake).
    (cd "$build" && MORVESTA_UNSIGNED_EXE=$build/stage/bin/morvesta.exe MORVESTA_RELEASED_EXE=$build/morvesta.exe \
        cpack -G NSIS </dev/null >"$build/cpack.log" 2>&1) ||
        fail "cpack failed: $({ grep -ho -m1 -E 'sign-staged: .*' "$build/cpack.log" ||
            grep -h -m1 '^sign: ' "$build"/_CPack_Packages/*/NSIS/NSISOutput.log ||
            grep -m1 'CPack Error' "$build/cpack.log" || tail -n1 "$build/cpack.log"; } 2>/dev/null)"
    use_installer
    local unsigned=$MORVESTA_SIGNATURES/$(basename "$installer").unsigned uninstaller=()
    mv "$installer" "$unsigned"
    "$root/windows/sign.sh" file "$unsigned" "$installer" "$MORVESTA_SIGNATURES/$(basename "$installer").sig" ||
        exit 1
    [ ! -f "$MORVESTA_SIGNATURES/uninstaller/Uninstall.exe" ] ||
        uninstaller=("$MORVESTA_SIGNATURES/uninstaller/Uninstall.exe")
    "$root/windows/pe-flags.sh" "$build/morvesta.exe" --stubs "$installer" "${uninstaller[@]}" || exit 1
}

stage_source() {
    use_installer
    use_qt
    # What the LGPL asks to come with a program linked statically with Qt:
    # the program's source at this commit and Qt's source package as qt.sh
    # fetched it, packed as the rest is, with the commit's time and in name
    # order.
    local epoch name release signature
    epoch=$(build_env_epoch "$build")
    [ -n "$epoch" ] || fail "no SOURCE_DATE_EPOCH in $build/CPackConfig.cmake"
    name=morvesta-$version-source
    rm -rf "$build/source" "$build/$name.tar" "$build/SHA256SUMS"
    mkdir -p "$build/source/$name/morvesta-$version" "$build/source/$name/qt6-base"
    "$root/windows/source-tar.sh" | tar -x -C "$build/source/$name/morvesta-$version"
    cp "$qt_prefix"/source/* "$build/source/$name/qt6-base/"
    LC_ALL=C tar --sort=name --mtime="@$epoch" --owner=0 --group=0 --numeric-owner \
        --mode='u+rwX,go+rX,go-w' --format=gnu -C "$build/source" -cf "$build/$name.tar" "$name"
    rm -rf "$build/source"
    release=(morvesta.exe "$(basename "$installer")" "$name.tar")
    for signature in "${release[@]/%/.sig}" Uninstall.exe.sig; do
        [ ! -f "$build/signatures/$signature" ] ||
            { cp "$build/signatures/$signature" "$build/" && release+=("$signature"); }
    done
    (cd "$build" && sha256sum "${release[@]}" >SHA256SUMS)
}

stage_planted_dlls() {
    need "$build/morvesta.exe" program
    need "$build/bin/planted.dll" build
    use_wine
    "$root/windows/try-planted-dlls.sh" "$build/morvesta.exe" "$build/bin/planted.dll" "$build/bin/winprobe.exe"
}

stage_installer_tries() {
    use_installer
    need "$build/bin/winprobe.exe" build
    use_qt
    # The same tree as an earlier version, to try an upgrade over it: only
    # the program, without its tests.
    local earlier=$build/earlier qt_configured
    qt_cmake -S "$root" -B "$earlier" -DMORVESTA_VERSION=0.9.0 -DMORVESTA_BUILD_TESTS=OFF
    cmake --build "$earlier" --parallel "$(nproc)" </dev/null >/dev/null
    rm -f "$earlier"/morvesta-*-win64.exe
    (cd "$earlier" && env -u MORVESTA_SIGN_MODE cpack -G NSIS </dev/null >/dev/null)
    [ -f "$earlier/morvesta-0.9.0-win64.exe" ] || fail "cpack made no installer in $earlier"
    # Where QtCore believes it is installed (the path QLibraryInfo starts
    # from), in which the program must look for nothing.
    qt_configured=$(strings "$qt_prefix/lib/libQt6Core.a" | sed -n 's/^qt_prfxpath=//p' | sort -u)
    [ -n "$qt_configured" ] && [ "$(wc -l <<<"$qt_configured")" -eq 1 ] ||
        fail "found no single configured prefix in $qt_prefix/lib/libQt6Core.a"
    use_wine
    "$root/windows/try-installer.sh" "$installer" "$earlier/morvesta-0.9.0-win64.exe" "$qt_configured" \
        "$build/bin/winprobe.exe"
}

stage_screenshots() {
    need "$build/morvesta.exe" program
    use_wine
    "$root/windows/screenshots.sh" "$build/morvesta.exe" "$build" "$build/bin/winprobe.exe"
}

stage_rebuild() {
    use_installer
    if ! committed; then
        say "not built again from the source archive: it holds the commit, without uncommitted changes"
        return
    fi
    end_wine
    "$root/windows/verify-release.sh" "$build" || exit 1
}
