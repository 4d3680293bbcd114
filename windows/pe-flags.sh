#!/usr/bin/env bash
# Checks that each Windows program given keeps the protections Windows
# offers a program that asks for them in its PE header: address space layout
# randomisation (DYNAMIC_BASE) over the whole 64-bit space (HIGH_ENTROPY_VA),
# and no code run from data pages (NX_COMPAT). Fails naming the file and the
# first one missing.
#
#   pe-flags.sh <exe>...
set -euo pipefail
for exe in "$@"; do
    flags=$(LC_ALL=C x86_64-w64-mingw32-objdump -p "$exe" | sed -n '/^DllCharacteristics/,/^[^[:space:]]/p' |
        sed '$d') || { echo "pe-flags: cannot read the PE header of $exe" >&2; exit 1; }
    [ -n "$flags" ] || { echo "pe-flags: $exe has no DllCharacteristics" >&2; exit 1; }
    for flag in DYNAMIC_BASE HIGH_ENTROPY_VA NX_COMPAT; do
        grep -qw "$flag" <<<"$flags" || { echo "pe-flags: $(basename "$exe") lacks $flag" >&2; exit 1; }
    done
done
