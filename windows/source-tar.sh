#!/usr/bin/env bash
# Writes the project's source at this commit as a tar to standard output:
# git archive of HEAD in a git checkout; in a tree that git archive made
# (which has no .git), the tree without what the builds made.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/scripts/lib.sh" source-tar.sh
if [ "$(git -C "$top" rev-parse --show-toplevel 2>/dev/null)" = "$top" ]; then
    [ -z "$(git -C "$top" status --porcelain)" ] || say "the commit only, without the uncommitted changes of $top"
    exec git -C "$top" archive --format=tar HEAD
fi
# (Build folders by the names build.sh gives them: "./build*" would take build.sh too.)
exec tar -C "$top" --exclude=./.git --exclude=./build --exclude='./build-*' --exclude='./shot*.png' \
    --exclude='*.user' -cf - .
