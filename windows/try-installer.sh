#!/usr/bin/env bash
# Tries the installer under Wine as a counter's machine gets it: on Windows 7
# it refuses to install, silently with a non-zero exit and interactively
# with its message, and writes nothing; on Windows 10, an earlier version
# installed silently, this one silently over it (one program folder, one
# Start-menu shortcut, one entry in the installed programs list, with the
# new version and the new program, its licence and its notices), the
# installed program shows its window, and a silent uninstall takes it all
# away again. Needs the environment
# windows/build.sh sets up (WINEPREFIX, DISPLAY) and winprobe.exe beside the
# installer; the installers are named morvesta-<version>-win64.exe.
#
#   try-installer.sh <installer> <installer of an earlier version>
set -euo pipefail
installer=$1
earlier=$2
probe=$(dirname "$installer")/winprobe.exe

fail() {
    echo "installer: $*" >&2
    exit 1
}

version_of() { basename "$1" | sed -n 's/^morvesta-\(.*\)-win64\.exe$/\1/p'; }
drive_c=$WINEPREFIX/drive_c
program_dir="$drive_c/Program Files/Morvesta"
# What installers leave: program folders (for all users or for one), Start-
# menu shortcuts, entries in the installed programs list.
folders() {
    find "$drive_c"/Program\ Files* "$drive_c/users" -maxdepth 3 -type d -iname '*morvesta*' \
        -not -path '*/Start Menu/*' 2>/dev/null | wc -l
}
shortcuts() { find "$drive_c" -path '*/Start Menu/*' -iname '*morvesta*.lnk' 2>/dev/null | wc -l; }
entries() {
    for key in 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' \
        'HKLM\Software\Wow6432Node\Microsoft\Windows\CurrentVersion\Uninstall' \
        'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall'; do
        wine reg query "$key" /s 2>/dev/null || true
    done | tr -d '\r' | grep -ciE '^ *DisplayName +REG_SZ +Morvesta' || true
}
installed_version() {
    wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Morvesta' \
        /v DisplayVersion 2>/dev/null | tr -d '\r' | awk '$1 == "DisplayVersion" { print $3 }'
}
# The uninstaller copies itself away and returns at once; wait for its work.
uninstall() {
    wine "$program_dir/Uninstall.exe" /S || return 1
    for _ in $(seq 300); do
        [ -e "$program_dir" ] || return 0
        sleep 0.1
    done
    return 1
}
# Exactly one of each, or none of any.
expect() {
    local found
    found="$(folders) folders, $(shortcuts) shortcuts, $(entries) entries"
    [ "$found" = "$1 folders, $1 shortcuts, $1 entries" ] || fail "$2: $found, not $1 of each"
}

# Waits a bounded time for a Windows program started in the background to
# end; fails when it runs on.
wait_for_exit() {
    for _ in $(seq 100); do
        kill -0 "$1" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$1" 2>/dev/null; then
        kill "$1" 2>/dev/null || true
        fail "$2 did not end"
    fi
    wait "$1"
}

# What an earlier, interrupted try left behind goes first.
if [ -x "$program_dir/Uninstall.exe" ]; then uninstall || true; fi
rm -rf "$program_dir"
expect 0 "before installing"

# The prefix is Windows 7 for this, and Windows 10 again whatever happens.
windows_version() { wine winecfg -v "$1" >/dev/null 2>&1 || fail "could not set Wine to $1"; }
trap 'windows_version win10' EXIT
windows_version win7
status=0
wine "$installer" /S || status=$?
[ "$status" -ne 0 ] || fail "the silent install on Windows 7 exited 0"
expect 0 "after the silent install refused Windows 7"
wine "$installer" &
refusing=$!
title="Instalação do Morvesta"
wine "$probe" wait "$title" 30 >/dev/null || fail "the installer showed no message on Windows 7"
message=$(wine "$probe" text "$title" | tr -d '\r')
[ "$message" = "Morvesta requer o Windows 10 versão 1809 ou posterior." ] ||
    fail "the installer's message on Windows 7 is '$message'"
wine "$probe" close "$title" >/dev/null
status=0
wait_for_exit "$refusing" "the installer refusing Windows 7" || status=$?
[ "$status" -ne 0 ] || fail "the interactive install on Windows 7 exited 0"
expect 0 "after the interactive install refused Windows 7"
windows_version win10
trap - EXIT
echo "installer: refused Windows 7 (exit code $status), with its message" >&2

wine "$earlier" /S || fail "the silent install of $(basename "$earlier") failed"
[ "$(installed_version)" = "$(version_of "$earlier")" ] ||
    fail "the earlier version is listed as '$(installed_version)'"
wine "$installer" /S || fail "the silent install over the earlier version failed"
expect 1 "after installing over the earlier version"
[ "$(installed_version)" = "$(version_of "$installer")" ] ||
    fail "after the upgrade the installed programs list shows version '$(installed_version)'"
file_version=$(strings -el "$program_dir/bin/morvesta.exe" | grep -A1 -x FileVersion | tail -n1)
[ "$file_version" = "$(version_of "$installer")" ] ||
    fail "after the upgrade Program Files\\Morvesta holds morvesta.exe version '$file_version'"
for file in LICENSE.txt THIRD-PARTY-NOTICES.txt; do
    [ -s "$program_dir/$file" ] || fail "the install put no $file beside the program"
done
echo "installer: $(basename "$installer") installed over $(basename "$earlier")" >&2

wine "$program_dir/bin/morvesta.exe" &
program=$!
frame=$(wine "$probe" wait Morvesta 30 | tr -d '\r') || fail "the installed program showed no window"
# Qt answers UI Automation for the window (Wine reads no further than the
# window itself): a window (control type 50032) named Morvesta.
reads=$(wine "$probe" reads Morvesta | tr -d '\r') || true
[ "$reads" = "50032 Morvesta" ] || fail "UI Automation reads the window as '$reads'"
wine "$probe" close Morvesta >/dev/null || true
wait_for_exit "$program" "the installed program" || true
echo "installer: installed program showed its window at $frame" >&2

uninstall || fail "the silent uninstall failed or left Program Files\\Morvesta behind"
expect 0 "after uninstalling"
echo "installer: upgrade, start and silent uninstall passed" >&2
