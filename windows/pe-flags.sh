#!/usr/bin/env bash
# Checks that each Windows program given keeps the protections Windows
# offers a program that asks for them in its PE header: address space layout
# randomisation (DYNAMIC_BASE) over the whole 64-bit space (HIGH_ENTROPY_VA),
# and no code run from data pages (NX_COMPAT). Fails naming the file and the
# first one missing.
#
# ASLR moves a program only when it carries its relocations. A program
# given before --stubs that asks for DYNAMIC_BASE without them fails; one
# given after it (the NSIS installer and uninstaller, made from NSIS's
# prebuilt stubs, whose relocations are stripped) is reported as such, and
# passes: Windows loads it at its fixed address.
#
#   pe-flags.sh <exe>... [--stubs <exe>...]
set -euo pipefail
. "$(dirname "$0")/../scripts/lib.sh" pe-flags
stub=0
for exe in "$@"; do
    if [ "$exe" = --stubs ]; then
        stub=1
        continue
    fi
    header=$(LC_ALL=C x86_64-w64-mingw32-objdump -p "$exe") ||
        fail "cannot read the PE header of $exe"
    flags=$(sed -n '/^DllCharacteristics/,/^[^[:space:]]/p' <<<"$header" | sed '$d')
    [ -n "$flags" ] || fail "$exe has no DllCharacteristics"
    for flag in DYNAMIC_BASE HIGH_ENTROPY_VA NX_COMPAT; do
        grep -qw "$flag" <<<"$flags" || fail "$(basename "$exe") lacks $flag"
    done
    relocations=$(awk '$1 == "Entry" && $2 == "5" { print $4 }' <<<"$header")
    if sed -n '/^Characteristics/,/^$/p' <<<"$header" | grep -q 'relocations stripped' ||
        [ "$((16#${relocations:-0}))" -eq 0 ]; then
        why="$(basename "$exe"): DYNAMIC_BASE set but no relocations: Windows cannot move it"
        [ "$stub" = 1 ] || fail "$why"
        say "$why (NSIS's stub)"
    fi
done
