#!/usr/bin/env bash
# Builds a static Qt for 64-bit Windows with the mingw-w64 cross compiler,
# from the source of the Debian package that gives this machine its own Qt
# (the host tools, moc and rcc among them, come from that package and must
# be of the same version). Prints the installed prefix on its last line.
#
# Whoever builds it and wherever, the same Qt goes into the program: Qt is
# configured for a fixed prefix (the one path QtCore keeps) and installed into
# the cache with DESTDIR, its source and build folders are mapped to a fixed
# name in what the compiler records, and rcc takes its file times from the
# Debian changelog. Beside the install the cache keeps the source package's
# files as apt fetched and verified them (source/, for the program's
# corresponding source) and Qt's third-party attribution files with an index
# of which of Qt's objects hold which third-party code (attribution/, for the
# program's notices).
#
# The build goes into a cache outside the checkout, keyed by the Qt version,
# the configure options, the toolchain file and the compiler:
#     ${MORVESTA_CACHE:-~/.cache/morvesta}/qt-<version>-mingw-<key>/
# A prefix counts as built only when its stamp file is there; the stamp is
# written last, after the install, so a build that was killed leaves a prefix
# that the next run removes and builds again.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
. "$here/../scripts/lib.sh" windows/qt.sh
build_env_cache
cache=$MORVESTA_CACHE
toolchain=$here/mingw-w64.cmake


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
# Where QtCore believes it is installed; no one installs it there.
install_prefix=/opt/morvesta/qt-$upstream-mingw
# The compiler records $work (source and build folders) as this name.
mapped_work=/usr/src/qt6-base
key=$({
    echo "$version"
    printf '%s\n' "${configure_options[@]}"
    echo "$install_prefix $mapped_work"
    cat "$here/qt-attribution.cmake"
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
# Qt's own toolchain file loads this one by its path (the program's build
# names its own with QT_CHAINLOAD_TOOLCHAIN_FILE): keep a copy beside the
# build, so the prefix stays usable from any checkout.
cp "$toolchain" "$prefix/mingw-w64.cmake"
toolchain=$prefix/mingw-w64.cmake

# A private deb-src list made from the machine's own binary sources, so the
# system's lists stay untouched. Debian's own sources only (signed by its
# archive keyring or, without a Signed-By, at an address naming debian):
# another vendor's repository may have no sources.
apt_sources | while read -r uri suite signed components; do
    case "$signed" in
    *debian-archive-keyring*) echo "deb-src [signed-by=$signed] $uri $suite $components" ;;
    -) [[ $uri != *debian* ]] || echo "deb-src $uri $suite $components" ;;
    esac
done >"$work/sources.list.d/debian.list"
apt_private=(
    -o Dir::Etc::SourceList=/dev/null
    -o "Dir::Etc::SourceParts=$work/sources.list.d"
    -o "Dir::State::Lists=$work/lists"
    -o "Dir::Cache::Archives=$work/archives"
    -o APT::Sandbox::User=root
)
say "fetching the source of qt6-base $version"
# A list that cannot be read only warns here; the fetch below is what counts.
apt-get "${apt_private[@]}" update -qq </dev/null >&2 || true
(cd "$work" && apt-get "${apt_private[@]}" source -qq "qt6-base=$version" </dev/null >&2) ||
    fail "could not fetch the source of qt6-base $version"
source_dir=$(find "$work" -mindepth 1 -maxdepth 1 -type d -name 'qt6-base-*' | head -n1)
[ -n "$source_dir" ] || fail "the source of qt6-base did not unpack"

# rcc stores each resource file's time: the source package's own date.
SOURCE_DATE_EPOCH=$(dpkg-parsechangelog -l "$source_dir/debian/changelog" -S Timestamp) ||
    fail "could not read the date of qt6-base $version from its changelog"
export SOURCE_DATE_EPOCH
build_env_c
build_env_modes
map=-ffile-prefix-map=$work=$mapped_work

say "configuring Qt $upstream for x86_64-w64-mingw32 into $prefix"
mkdir -p "$work/build"
(cd "$work/build" && "$source_dir/configure" -prefix "$install_prefix" -qt-host-path /usr \
    "${configure_options[@]}" -- -G Ninja \
    "-DCMAKE_TOOLCHAIN_FILE=$toolchain" \
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    "-DCMAKE_C_FLAGS=$map" "-DCMAKE_CXX_FLAGS=$map" \
    </dev/null >"$work/configure.log" 2>&1) ||
    fail "configuring Qt failed, see $work/configure.log"

say "building Qt (about 13 minutes on two cores)"
(cd "$work/build" && cmake --build . --parallel "$(nproc)" </dev/null >"$work/build.log" 2>&1) ||
    fail "building Qt failed, see $work/build.log"
(cd "$work/build" && DESTDIR="$work/install" cmake --install . </dev/null >"$work/install.log" 2>&1) ||
    fail "installing Qt failed, see $work/install.log"
mv "$work/install$install_prefix"/* "$prefix"/

[ -x "$prefix/bin/qt-cmake" ] || fail "the Qt build installed no qt-cmake"
# What configure found and chose, kept beside the build for reference.
cp "$work/build/config.summary" "$prefix/config.summary"

say "indexing the third-party code in Qt's objects"
# For every object Qt compiled, the attribution entries whose files went into
# it (compiled, or included), from the compiler's own dependency lists.
(cd "$work/build" && ninja -t deps) >"$work/deps.txt" || fail "could not read Qt's dependency lists"
# The files rcc compiles in are no compiler dependencies: each resource
# collection's files count as dependencies of its object.
find "$work/build/src" "$source_dir/src" -name '*.qrc' | sort | while read -r qrc; do
    echo "qrc_$(basename "$qrc" .qrc).cpp.obj: #deps (resources)"
    sed -n 's|.*<file[^>]*>\(.*\)</file>.*|\1|p' "$qrc" | while read -r file; do
        echo "    $(cd "$(dirname "$qrc")" && realpath -m "$file")"
    done
done >>"$work/deps.txt"
cmake "-DSOURCE=$source_dir" "-DDESTINATION=$prefix/attribution" -P "$here/qt-attribution.cmake" ||
    fail "could not read Qt's attribution files"
awk -F '\t' -v source="$source_dir/" '
    FNR == NR { entry[$1] = entry[$1] " " $2; next }
    /^[^ ]/ { object = $0; sub(/: #deps .*/, "", object); sub(/.*\//, "", object); next }
    {
        path = $0
        sub(/^ +/, "", path)
        if (index(path, source) != 1) next
        path = substr(path, length(source) + 1)
        for (; path != ""; path = sub(/\/[^\/]*$/, "", path) ? path : "")
            if (path in entry) print object entry[path]
    }' "$prefix/attribution/paths.tsv" "$work/deps.txt" |
    awk '{ for (i = 2; i <= NF; i++) print $1 "\t" $i }' | sort -u >"$prefix/attribution/objects.tsv"
[ -s "$prefix/attribution/objects.tsv" ] || fail "no third-party code found in Qt's objects"
# The source package as apt fetched and verified it.
mkdir "$prefix/source"
mv "$work"/qt6-base_* "$prefix/source/"
rm -rf "$work"
date -u +%FT%TZ >"$stamp"
echo "$prefix"
