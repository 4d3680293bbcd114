#!/usr/bin/env bash
# Builds a static Qt for 64-bit Windows with the mingw-w64 cross compiler,
# from the source of the Debian package that gives this machine its own Qt
# (the host tools, moc and rcc among them, come from that package and must
# be of the same version). Prints the installed prefix on its last line.
#
# The build goes into a cache outside the checkout, keyed by the Qt version,
# the configure options, the toolchain file and the compiler:
#     ${MORVESTA_CACHE:-~/.cache/morvesta}/qt-<version>-mingw-<key>/
# A prefix counts as built only when its stamp file is there; the stamp is
# written last, after the install, so a build that was killed leaves a prefix
# that the next run removes and builds again.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
# The cache sits in the user's home, which a bare CI environment may not name.
export HOME=${HOME:-$(getent passwd "$(id -u)" | cut -d: -f6)}
cache=${MORVESTA_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/morvesta}
toolchain=$here/mingw-w64.cmake

fail() {
    echo "windows/qt.sh: $*" >&2
    exit 1
}

version=$(dpkg-query -W -f='${source:Version}' qt6-base-dev 2>/dev/null) ||
    fail "qt6-base-dev is not installed"
upstream=${version%%+*}
upstream=${upstream%%-*}

# Only what the program and its tests use: Core, Gui, Widgets and Test.
configure_options=(
    -release -static -static-runtime -optimize-size
    -nomake examples -nomake tests
    -no-opengl -no-dbus -no-icu
    -no-feature-network -no-feature-sql -no-feature-printsupport
    -no-feature-concurrent -no-feature-xml -no-feature-tabletevent
    -no-feature-pdf -no-feature-textodfwriter -no-feature-textmarkdownreader
    -no-feature-textmarkdownwriter -no-feature-vulkan
    -qt-zlib -qt-libpng -no-feature-jpeg -qt-freetype -qt-harfbuzz -qt-pcre
)

compiler=$(x86_64-w64-mingw32-g++-posix --version | head -n1) ||
    fail "the mingw-w64 compiler (g++-mingw-w64-x86-64-posix) is missing"
key=$({
    echo "$version"
    printf '%s\n' "${configure_options[@]}"
    cat "$toolchain"
    echo "$compiler"
} | sha256sum | cut -c1-12)
prefix=$cache/qt-$upstream-mingw-$key
stamp=$prefix/.morvesta-complete

mkdir -p "$cache"
# One build at a time per cache; a second run waits for the first.
exec 9>"$cache/qt.lock"
flock 9

if [ -f "$stamp" ]; then
    echo "$prefix"
    exit 0
fi

work=$cache/work-$key
rm -rf "$prefix" "$work"
mkdir -p "$work/sources.list.d" "$work/lists/partial" "$work/archives/partial" "$prefix"
# Qt's own toolchain file loads this one by its path: keep a copy beside the
# build, so the prefix stays usable from any checkout.
cp "$toolchain" "$prefix/mingw-w64.cmake"
toolchain=$prefix/mingw-w64.cmake

# A private deb-src list made from the machine's own binary sources, so the
# system's lists stay untouched.
# Debian's own stanzas only: another vendor's repository may have no sources.
for list in /etc/apt/sources.list.d/*.sources; do
    grep -q debian-archive-keyring "$list" 2>/dev/null || continue
    sed 's/^Types:.*/Types: deb-src/' "$list" >"$work/sources.list.d/$(basename "$list")"
done
for list in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$list" ] || continue
    sed -n 's/^deb \(.*debian.*\)/deb-src \1/p' "$list" >"$work/sources.list.d/$(basename "$list").list"
done
apt_private=(
    -o Dir::Etc::SourceList=/dev/null
    -o "Dir::Etc::SourceParts=$work/sources.list.d"
    -o "Dir::State::Lists=$work/lists"
    -o "Dir::Cache::Archives=$work/archives"
    -o APT::Sandbox::User=root
)
echo "windows/qt.sh: fetching the source of qt6-base $version" >&2
# A list that cannot be read only warns here; the fetch below is what counts.
apt-get "${apt_private[@]}" update -qq </dev/null >&2 || true
(cd "$work" && apt-get "${apt_private[@]}" source -qq "qt6-base=$version" </dev/null >&2) ||
    fail "could not fetch the source of qt6-base $version"
source_dir=$(find "$work" -mindepth 1 -maxdepth 1 -type d -name 'qt6-base-*' | head -n1)
[ -n "$source_dir" ] || fail "the source of qt6-base did not unpack"

echo "windows/qt.sh: configuring Qt $upstream for x86_64-w64-mingw32 into $prefix" >&2
mkdir -p "$work/build"
(cd "$work/build" && "$source_dir/configure" -prefix "$prefix" -qt-host-path /usr \
    "${configure_options[@]}" -- -G Ninja \
    "-DCMAKE_TOOLCHAIN_FILE=$toolchain" \
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    </dev/null >"$work/configure.log" 2>&1) ||
    fail "configuring Qt failed, see $work/configure.log"

echo "windows/qt.sh: building Qt (about 13 minutes on two cores)" >&2
(cd "$work/build" && cmake --build . --parallel "$(nproc)" </dev/null >"$work/build.log" 2>&1) ||
    fail "building Qt failed, see $work/build.log"
(cd "$work/build" && cmake --install . </dev/null >"$work/install.log" 2>&1) ||
    fail "installing Qt failed, see $work/install.log"

[ -x "$prefix/bin/qt-cmake" ] || fail "the Qt build installed no qt-cmake"
# What configure found and chose, kept beside the build for reference.
cp "$work/build/config.summary" "$prefix/config.summary"
rm -rf "$work"
date -u +%FT%TZ >"$stamp"
echo "$prefix"
