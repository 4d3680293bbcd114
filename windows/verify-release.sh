#!/usr/bin/env bash
# Checks that a Windows release is exactly what its corresponding source
# builds, plus the publisher's signatures: extracts morvesta-<version>-source.tar
# from the release's folder into a folder of its own, builds the program and
# the installer from it against the cached Qt for Windows (windows/build.sh
# package), attaching each signature found beside the release's files
# (morvesta.exe.sig, morvesta-<version>-win64.exe.sig and Uninstall.exe.sig,
# which goes onto the uninstaller before makensis packs it into the
# installer), and compares the result with the release byte for byte. An
# unsigned release is compared as it is. Each file that differs is named with
# the first offset at which it does. Whether the signer is one to trust is
# another question: osslsigncode verify -CAfile answers that.
#
#   verify-release.sh <release folder> [work folder]
#
# The work folder (default: a new temporary one, removed when all is the
# same) keeps the build; given again with the same source archive and
# signatures, it is compared without building again.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../cmake/build-env.sh"
build_env_modes
build_env_cache

fail() {
    echo "verify-release: $*" >&2
    exit 1
}
[ $# -ge 1 ] && [ $# -le 2 ] || { echo "usage: $0 <release folder> [work folder]" >&2; exit 2; }
[ -d "$1" ] || fail "no folder $1"
release=$(cd "$1" && pwd)
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
signatures=()
for signature in "$release"/*.sig; do
    [ ! -f "$signature" ] || signatures+=("$signature")
done
stamp=$(cat "$archive" "${signatures[@]}" | sha256sum | cut -d' ' -f1)
if [ "$(cat "$work/.built" 2>/dev/null)" != "$stamp" ]; then
    rm -rf "$work/tree" "$work/build" "$work/.built"
    mkdir -p "$work/tree"
    tar -x -C "$work/tree" -f "$archive" || fail "could not extract $archive"
    top=$work/tree/$name/morvesta-$version
    [ -x "$top/windows/build.sh" ] || fail "$archive holds no morvesta-$version/windows/build.sh"
    echo "verify-release: building $name in $work" >&2
    # A bare environment: no signing key of the caller's, only the signatures.
    (cd "$top" && "${build_env_bare[@]}" HOME="$HOME" MORVESTA_CACHE="$MORVESTA_CACHE" \
        MORVESTA_SIGN_MODE=attach MORVESTA_SIGN_FROM="$release" BUILD_DIR="$work/build" \
        windows/build.sh package) </dev/null >"$work/build.log" 2>&1 ||
        fail "the build from $name failed ($(tail -n1 "$work/build.log")), see $work/build.log"
    echo "$stamp" >"$work/.built"
fi

differ=0
for file in morvesta.exe "$installer" "$name.tar"; do
    signed=
    [ ! -f "$release/$file.sig" ] || signed=" plus its signature"
    if result=$(LC_ALL=C cmp "$release/$file" "$work/build/$file" 2>&1); then
        echo "verify-release: $file is the build from $name$signed" >&2
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
        echo "verify-release: $file could not be compared: $result" >&2
        continue
    fi
    printf 'verify-release: %s is not the build from %s%s: they differ from offset %d (0x%x) on\n' \
        "$file" "$name" "$signed" "$offset" "$offset" >&2
done
[ "$differ" -eq 0 ] || fail "$release is not the build from its source archive (the build is in $work)"
[ -z "$temporary" ] || rm -rf "$temporary"
echo "verify-release: passed: $release is the build from $name, byte for byte" >&2
