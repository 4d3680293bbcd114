#!/usr/bin/env bash
# Tries the installer under Wine, as a counter's machine would get it: a
# silent install, the installed program shows its window, a silent uninstall
# takes it all away again. Needs the environment windows/build.sh sets up
# (WINEPREFIX, DISPLAY) and winprobe.exe beside the installer.
set -euo pipefail
installer=$1
probe=$(dirname "$installer")/winprobe.exe

fail() {
    echo "installer: $*" >&2
    exit 1
}

drive_c=$WINEPREFIX/drive_c
program_dir="$drive_c/Program Files/Morvesta"
shortcut() { find "$drive_c" -path '*/Start Menu/Programs/Morvesta/Morvesta.lnk' 2>/dev/null; }

# What an earlier, interrupted try left behind goes first.
if [ -x "$program_dir/Uninstall.exe" ]; then
    wine "$program_dir/Uninstall.exe" /S || true
    sleep 3
fi
rm -rf "$program_dir"

wine "$installer" /S || fail "the silent install failed"
[ -f "$program_dir/bin/morvesta.exe" ] || fail "nothing was installed in Program Files\\Morvesta"
[ -n "$(shortcut)" ] || fail "no Start-menu shortcut Morvesta\\Morvesta"
wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Morvesta' /v DisplayIcon \
    >/dev/null 2>&1 || fail "no entry in the installed programs list"

wine "$program_dir/bin/morvesta.exe" &
program=$!
frame=$(wine "$probe" wait Morvesta 30 | tr -d '\r') || fail "the installed program showed no window"
wine "$probe" close Morvesta >/dev/null || true
for _ in $(seq 100); do
    kill -0 "$program" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$program" 2>/dev/null; then
    kill "$program" 2>/dev/null || true
    fail "the installed program did not close"
fi
echo "installer: installed program showed its window at $frame" >&2

# The uninstaller copies itself away and returns at once; wait for its work.
wine "$program_dir/Uninstall.exe" /S || fail "the silent uninstall failed"
for _ in $(seq 300); do
    [ -e "$program_dir" ] || break
    sleep 0.1
done
[ ! -e "$program_dir" ] || fail "the uninstaller left Program Files\\Morvesta behind"
[ -z "$(shortcut)" ] || fail "the uninstaller left the Start-menu shortcut behind"
echo "installer: silent install, start and silent uninstall passed" >&2
