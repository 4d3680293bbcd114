#!/usr/bin/env bash
# Tries the program as it may be found in a Downloads folder: a copy of
# morvesta.exe in a folder of its own beside a planted DLL (planted.c, a
# DllMain that leaves a marker) under the name of every DLL the program
# might look for there: each one windows/dlls.txt has it delay-load, and
# each one it loads at run time that is not one of Windows' KnownDLLs (as
# Wine logs them on a first start without them). Wine is told to prefer
# such a native copy to its own for each (WINEDLLOVERRIDES=...=n,b), which is
# what Windows' search order does for every DLL that is not a KnownDLL. The
# program must start, show its window and close, and no marker may appear.
# (Windows also honours the program's DependentLoadFlags for its direct
# imports; Wine does not, so this try stands for both.) Needs the
# environment windows/build.sh sets up (WINEPREFIX, DISPLAY).
#
#   try-planted-dlls.sh <morvesta.exe> <planted.dll> <winprobe.exe>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
exe=$1
planted=$2
probe=$3

. "$here/../scripts/lib.sh" "planted DLLs"
scratch=$(mktemp -d "${TMPDIR:-/tmp}/morvesta-planted.XXXXXX")
at_exit rm -rf "$scratch"
at_exit wine "$probe" close Morvesta
folder=$scratch/Downloads
mkdir "$folder"
cp "$exe" "$folder/morvesta.exe"

# ", and it ran the code of the planted <name>..." when a marker is there.
ran() {
    local names
    names=$(cd "$folder" && ls ./*.ran 2>/dev/null | sed 's#^\./##; s/\.ran$//' | tr '\n' ' ') || true
    [ -z "$names" ] || echo ", and it ran the code of the planted ${names% }"
}

# Starts the program in the folder (a command before it wrapping it, what
# Wine logs to <log>), waits for its window, reads it, closes it and waits
# for it to end.
#   start_and_close <what it is> <log> [command]...
start_and_close() {
    local what=$1 log=$2
    shift 2
    (cd "$folder" && exec "$@" wine morvesta.exe 2>"$log") &
    local program=$!
    if ! wine "$probe" wait Morvesta 60 >/dev/null; then
        kill "$program" 2>/dev/null || true
        fail "$what showed no window$(ran)"
    fi
    # Read as a screen reader reads it: Qt loads UI Automation's DLL for that.
    local reads
    reads=$(wine "$probe" reads Morvesta | tr -d '\r') || true
    [ "$reads" = "50032 Morvesta" ] || fail "$what is read by UI Automation as '$reads'$(ran)"
    wine "$probe" close Morvesta >/dev/null
    for _ in $(seq 300); do
        kill -0 "$program" 2>/dev/null || break
        sleep 0.1
    done
    ! kill -0 "$program" 2>/dev/null || { kill "$program"; fail "$what did not end"; }
    wait "$program" || true
}

# What the program loads at run time, as Wine logs it.
start_and_close "the program alone" "$scratch/loaded" env WINEDEBUG=+loaddll
loaded() { grep -o 'Loaded L"[^"]*"' "$1" | sed 's/^Loaded L"//; s/"$//; s/\\\\/\\/g'; }
base() { sed 's/.*\\//' | tr 'A-Z' 'a-z'; }
# Windows' KnownDLLs (those the program imports are in windows/dlls.txt)
# come from its system folder whatever the program's folder holds.
known=$({
    awk '!/^#/ && $2 == "known" { print $1 ".dll" }' "$here/dlls.txt"
    printf '%s.dll\n' combase gdi32full kernelbase msvcp_win ntdll rpcrt4 sechost setupapi ucrtbase \
        win32u nsi clbcatq msctf coml2 psapi normaliz wldap32 imagehlp difxapi gdiplus
} | sort -u)
# So do the DLLs a system DLL imports or delay-loads, on Windows; Wine
# looks for those in the program's folder first whatever the program asked,
# so they cannot be tried here. (What a DLL of Wine's names, counted as what
# it may load: Wine writes no delay import directory.)
imports_of() {
    { LC_ALL=C x86_64-w64-mingw32-objdump -p "$1" 2>/dev/null || true; } |
        sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z'
    { strings -n 5 "$1" 2>/dev/null || true; } | grep -ixE '[a-z0-9_.-]+\.(dll|drv)' | tr 'A-Z' 'a-z' || true
}
# (Wine's own, under C:\windows: the system folder, and winsxs for comctl32.)
dependencies=$(loaded "$scratch/loaded" | grep -i '^C:\\windows\\' | while read -r path; do
    path=${path#[Cc]:\\}
    imports_of "$WINEPREFIX/drive_c/${path//\\//}"
done | sort -u)
delayed=$(awk '!/^#/ && $2 == "delay" { print $1 ".dll" }' "$here/dlls.txt")
names=$({ echo "$delayed"; loaded "$scratch/loaded" | base | grep '\.dll$'; } | sort -u |
    grep -vxF -f <(echo "$known"; echo "$dependencies") || true)
untried=$(grep -xF "$dependencies" <<<"$delayed" | tr '\n' ' ' || true)
[ -n "$names" ] || fail "found no DLL to plant"
# (No debugger when a planted DLL brings the program down.)
overrides="mscoree,mshtml=;winedbg.exe=d"
for name in $names; do
    cp "$planted" "$folder/$name"
    overrides+=";${name%.dll}=n,b"
done

start_and_close "the program beside $(echo $names)" "$scratch/loaded-beside" \
    env WINEDLLOVERRIDES="$overrides" WINEDEBUG=+loaddll
[ -z "$(ran)" ] || fail "the program beside $(echo $names) started$(ran)"
taken=$(loaded "$scratch/loaded-beside" | grep -iF 'Downloads\' | base | grep -vx morvesta.exe | tr '\n' ' ' || true)
[ -z "$taken" ] || fail "the program beside $(echo $names) loaded the planted $taken"
say "the program started, was read and ended beside $(wc -w <<<"$names") planted DLLs" \
    "($(echo $names)) and loaded none of them${untried:+; not tried under Wine, whose own DLLs import them: $untried}"
