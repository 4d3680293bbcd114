#!/usr/bin/env bash
# Checks that a Windows release is exactly what its corresponding source
# builds, plus the publisher's signatures, trusting nothing that came with
# the release: not its scripts, not its Qt.
#   1. The project tree in morvesta-<version>-source.tar must be exactly
#      git archive of the commit it names (cmake/source-commit), as this
#      checkout's own git has it: every file, byte and mode.
#   2. Qt's source package in it must be the one this machine's apt fetched
#      and checked against Debian's signed archive for the cached Qt for
#      Windows (windows/qt.sh keeps it beside that Qt).
#   3. That commit, taken from this checkout's git (never the release's
#      copy), is built against this machine's cached Qt for Windows
#      (windows/build.sh package), each signature found beside the release's
#      files attached (morvesta.exe.sig, morvesta-<version>-win64.exe.sig and
#      Uninstall.exe.sig, which goes onto the uninstaller before makensis
#      packs it into the installer), and the result compared with the
#      release byte for byte.
# An unsigned release is compared as it is. A file that differs is named,
# with the first offset at which it does. Whether the signer is one to trust
# is another question: osslsigncode verify -CAfile answers that.
#
#   verify-release.sh <release folder> [work folder]
#
# The work folder (default: a new temporary one, removed when all is the
# same) keeps the build; given again with the same source archive and
# signatures, it is compared without building again.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/.." && pwd)
. "$top/scripts/lib.sh" verify-release
build_env_modes
build_env_cache

[ $# -ge 1 ] && [ $# -le 2 ] || { echo "usage: $0 <release folder> [work folder]" >&2; exit 2; }
[ -d "$1" ] || fail "no folder $1"
release=$(cd "$1" && pwd)
[ "$(git -C "$top" rev-parse --show-toplevel 2>/dev/null)" = "$top" ] ||
    fail "$top is no git checkout: the release is checked against the project's own history"
archives=("$release"/morvesta-*-source.tar)
[ ${#archives[@]} -eq 1 ] && [ -f "${archives[0]}" ] ||
    fail "$release holds no morvesta-<version>-source.tar, or more than one"
archive=${archives[0]}
name=$(basename "$archive" .tar)
version=${name#morvesta-}
version=${version%-source}
installer=morvesta-$version-win64.exe
for file in morvesta.exe "$installer"; do
    [ -f "$release/$file" ] || fail "$release has no $file"
done
[ ! -f "$release/$installer.sig" ] || [ -f "$release/Uninstall.exe.sig" ] ||
    fail "$installer comes with its signature but without its uninstaller's, Uninstall.exe.sig"

temporary=
if [ $# -eq 2 ]; then
    work=$2
    mkdir -p "$work"
else
    work=$(mktemp -d "${TMPDIR:-/tmp}/morvesta-verify.XXXXXX")
    temporary=$work
fi
work=$(cd "$work" && pwd)

# Every entry of a tree, one a line: its type and mode, its path. (Both trees
# are unpacked under umask 022, so that only the modes the archives mean
# count: git archive writes 775 and 664, the source archive 755 and 644.)
entries() { (cd "$1" && find . -mindepth 1 -printf '%y %m %P\n' | LC_ALL=C sort); }
# The first difference between two trees, as one line; nothing when none.
first_difference() {
    local listed
    listed=$(LC_ALL=C diff <(entries "$1") <(entries "$2") | sed -n 's/^[<>] [a-z] [0-7]* //p' | head -n1) || true
    if [ -n "$listed" ]; then
        echo "$listed: not in both, or another kind or mode"
        return
    fi
    local line
    line=$(LC_ALL=C diff -rq --no-dereference "$1" "$2" | head -n1) || true
    [ -z "$line" ] || { line=${line#Files "$1"/}; echo "${line%% and *}: its content differs"; }
}

rm -rf "$work/tree"
mkdir -p "$work/tree"
tar -x --no-same-permissions -C "$work/tree" -f "$archive" || fail "could not extract $archive"
unpacked=$work/tree/$name
[ -d "$unpacked/morvesta-$version" ] && [ -d "$unpacked/qt6-base" ] ||
    fail "$archive holds no $name/morvesta-$version and $name/qt6-base"

commit=$(head -n1 "$unpacked/morvesta-$version/cmake/source-commit" 2>/dev/null || true)
[[ $commit =~ ^[0-9a-f]{40}$ ]] || fail "$archive names no commit (cmake/source-commit holds '$commit')"
git -C "$top" cat-file -e "$commit^{commit}" 2>/dev/null ||
    fail "commit $commit, which $name names, is not in $top: fetch the project's history first"
mkdir "$work/tree/commit"
git -C "$top" archive --format=tar "$commit" | tar -x --no-same-permissions -C "$work/tree/commit"
difference=$(first_difference "$work/tree/commit" "$unpacked/morvesta-$version")
[ -z "$difference" ] || fail "$name is not commit ${commit:0:12}: morvesta-$version/$difference"
say "1. the project in $name is commit ${commit:0:12}, file for file"

qt_prefix=$("$here/qt.sh" | tail -n1) || fail "no Qt for Windows on this machine (windows/qt.sh failed)"
difference=$(first_difference "$qt_prefix/source" "$unpacked/qt6-base")
[ -z "$difference" ] ||
    fail "Qt's source in $name is not the package apt fetched here for $qt_prefix: qt6-base/$difference"
say "2. Qt's source in $name is the package apt fetched and checked here" \
    "($(cd "$unpacked/qt6-base" && ls ./*.dsc | sed 's#^\./##'))"

signatures=()
for signature in "$release"/*.sig; do
    [ ! -f "$signature" ] || signatures+=("$signature")
done
stamp=$(cat "$archive" "${signatures[@]}" | sha256sum | cut -d' ' -f1)
if [ "$(cat "$work/.built" 2>/dev/null)" != "$stamp" ]; then
    rm -rf "$work/build" "$work/.built"
    say "3. building commit ${commit:0:12} in $work"
    # A bare environment: no signing key of the caller's, only the signatures.
    (cd "$work/tree/commit" && "${build_env_bare[@]}" HOME="$HOME" MORVESTA_CACHE="$MORVESTA_CACHE" \
        MORVESTA_SIGN_MODE=attach MORVESTA_SIGN_FROM="$release" BUILD_DIR="$work/build" \
        windows/build.sh package) </dev/null >"$work/build.log" 2>&1 ||
        fail "the build of commit ${commit:0:12} failed ($(tail -n1 "$work/build.log")), see $work/build.log"
    echo "$stamp" >"$work/.built"
fi

differ=0
for file in morvesta.exe "$installer" "$name.tar"; do
    signed=
    [ ! -f "$release/$file.sig" ] || signed=" plus its signature"
    if result=$(LC_ALL=C cmp "$release/$file" "$work/build/$file" 2>&1); then
        say "$file is the build of commit ${commit:0:12}$signed"
        continue
    fi
    differ=1
    if [[ $result =~ differ:\ (byte|char)\ ([0-9]+) ]]; then
        offset=$((BASH_REMATCH[2] - 1))
    elif [[ $result =~ EOF\ on\ .*\ after\ (byte|char)\ ([0-9]+) ]]; then
        offset=${BASH_REMATCH[2]}
    elif [[ $result =~ EOF\ on\ .*\ which\ is\ empty ]]; then
        offset=0
    else
        say "$file could not be compared: $result"
        continue
    fi
    printf 'verify-release: %s is not the build of commit %s%s: they differ from offset %d (0x%x) on\n' \
        "$file" "${commit:0:12}" "$signed" "$offset" "$offset" >&2
done
[ "$differ" -eq 0 ] || fail "$release is not the build of its source archive (the build is in $work)"
[ -z "$temporary" ] || rm -rf "$temporary"
say "passed: $release is the build of commit ${commit:0:12}, byte for byte"
