#!/usr/bin/env bash
# Tries the installer under Wine as a counter's machine gets it: on Windows 7
# it refuses to install, silently with a non-zero exit and interactively
# with its message, and writes nothing; on Windows 10, a folder other than
# Program Files\Morvesta asked for with /D= is refused (exit code 6), and so
# is an installed version recorded in another folder, whose uninstaller is
# not run (exit code 7), nothing changed; a file it cannot
# write stops it (exit code 5) before the installed programs list names it;
# an earlier version installed silently and started, this one refuses while
# it runs (silently with exit code 4, interactively asking to close it), as
# the earlier uninstaller does, and the earlier program is untouched and
# starts again; closed, this one installs silently over it (one program
# folder, one Start-menu shortcut, one entry in the installed programs
# list, with the new version and the new program, byte for byte, its
# licence and its notices); the installed program shows its window, looking
# for nothing under the prefix Qt for Windows was configured for and opening
# no style sheet given on its command line (strace);
# the uninstaller refuses while it runs; and a silent uninstall takes it all
# away again. Needs the environment windows/build.sh sets up (WINEPREFIX,
# DISPLAY) and the stripped morvesta.exe beside the installer; the
# installers are named morvesta-<version>-win64.exe.
#
#   try-installer.sh <installer> <installer of an earlier version> <Qt's configured prefix> <winprobe.exe>
set -euo pipefail
installer=$1
earlier=$2
qt_configured=$3
probe=$4
program=$(dirname "$installer")/morvesta.exe
. "$(dirname "$0")/../scripts/lib.sh" installer
. "$(dirname "$0")/installer-exit-codes"

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
    wait_until 30 "the removal of Program Files\\Morvesta" test ! -e "$program_dir"
}
# Exactly one of each, or none of any.
expect() {
    local found
    found="$(folders) folders, $(shortcuts) shortcuts, $(entries) entries"
    [ "$found" = "$1 folders, $1 shortcuts, $1 entries" ] || fail "$2: $found, not $1 of each"
}

# Runs the installer interactively until it shows its box, which must say
# <message>, closes the box and leaves the installer's exit code in $status.
#   interactive_install <message> <what it refuses> [installer argument]...
interactive_install() {
    local title="Instalação do Morvesta" shown pid
    wine "$installer" "${@:3}" &
    pid=$!
    wine "$probe" wait "$title" 30 >/dev/null || fail "the installer showed no message $2"
    shown=$(wine "$probe" text "$title" | tr -d '\r')
    [ "$shown" = "$1" ] || fail "the installer's message $2 is '$shown'"
    wine "$probe" close "$title" >/dev/null
    status=0
    wait_for_exit "$pid" 30 "the installer refusing $2" || status=$?
}

# Run in place instead, the uninstaller gives its exit code.
uninstall_in_place() {
    wine "$probe" run '"C:\Program Files\Morvesta\Uninstall.exe" /S _?=C:\Program Files\Morvesta' &
    wait_for_exit $! 30 "the uninstaller run in place"
}
# Starts the installed program in the background (its process in $running,
# any command before it wrapping it, $arguments after it) and waits for its
# window, at $frame.
arguments=()
start_installed() {
    "$@" wine "$program_dir/bin/morvesta.exe" "${arguments[@]}" &
    running=$!
    frame=$(wine "$probe" wait Morvesta 60 | tr -d '\r') || fail "the installed program showed no window"
}
close_installed() {
    wine "$probe" close Morvesta >/dev/null || true
    wait_for_exit "$running" 30 "the installed program" || true
}
# Runs a command that must exit with the code given.
expect_exit() {
    local code=$1 what=$2 status=0
    shift 2
    "$@" || status=$?
    [ "$status" -eq "$code" ] || fail "$what exited $status, not $code"
}

scratch=$(mktemp -d)
at_exit rm -rf "$scratch"

# What an earlier, interrupted try left behind goes first.
if [ -x "$program_dir/Uninstall.exe" ]; then uninstall || true; fi
rm -rf "$program_dir" "$drive_c/Morvesta"
expect 0 "before installing"

# The prefix is Windows 7 for this, and Windows 10 again whatever happens.
windows_version() { wine winecfg -v "$1" >/dev/null 2>&1 || fail "could not set Wine to $1"; }
at_exit windows_version win10
windows_version win7
expect_exit "$EXIT_WINDOWS_TOO_OLD" "the silent install on Windows 7" wine "$installer" /S
expect 0 "after the silent install refused Windows 7"
interactive_install "Morvesta requer o Windows 10 versão 1809 ou posterior." "on Windows 7"
[ "$status" -eq "$EXIT_WINDOWS_TOO_OLD" ] || fail "the interactive install on Windows 7 exited $status"
expect 0 "after the interactive install refused Windows 7"
windows_version win10
say "refused Windows 7 (exit code $status), with its message"

# Only Program Files\Morvesta: a folder made elsewhere may be one any user
# can write, from which the next upgrade, run as administrator, would start
# the uninstaller that user put there.
elsewhere="$drive_c/Morvesta"
expect_exit "$EXIT_FOLDER" "the silent install into C:\\Morvesta" wine "$installer" /S '/D=C:\Morvesta'
interactive_install "O Morvesta só pode ser instalado em C:\Program Files\Morvesta, não em C:\Morvesta." \
    "into C:\Morvesta" '/D=C:\Morvesta'
[ "$status" -eq "$EXIT_FOLDER" ] || fail "the interactive install into C:\\Morvesta exited $status"
[ ! -e "$elsewhere" ] || fail "the install refused into C:\\Morvesta made that folder"
expect 0 "after the install into C:\\Morvesta was refused"
say "refused C:\\Morvesta (exit code 6), silently and interactively"

# A file that cannot be written (here a folder in the program's place) stops
# the install before the installed programs list names it.
mkdir -p "$program_dir/bin/morvesta.exe"
expect_exit "$EXIT_FAILED" "the silent install that could not write morvesta.exe" wine "$installer" /S
[ "$(entries)" = 0 ] || fail "the install that could not write morvesta.exe left an installed programs entry"
rm -rf "$program_dir"
find "$drive_c" -path '*/Start Menu/*' -iname '*morvesta*.lnk' -delete
expect 0 "after the install that could not write morvesta.exe"
say "a file it could not write stopped it (exit code 5), unlisted"

wine "$earlier" /S || fail "the silent install of $(basename "$earlier") failed"
[ "$(installed_version)" = "$(version_of "$earlier")" ] ||
    fail "the earlier version is listed as '$(installed_version)'"
cp "$program_dir/bin/morvesta.exe" "$scratch/earlier.exe"
cmp -s "$scratch/earlier.exe" "$program" && fail "the earlier version's morvesta.exe is this one's"

# The earlier version recorded in C:\Morvesta, with an uninstaller there
# that anyone could have put: it is not run, and nothing changes.
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Morvesta'
mkdir -p "$elsewhere"
cp "$probe" "$elsewhere/Uninstall.exe"
wine reg add "$key" /v InstallLocation /d 'C:\Morvesta' /f >/dev/null 2>&1
expect_exit "$EXIT_INSTALLED_ELSEWHERE" "the silent install over a version recorded in C:\\Morvesta" wine "$installer" /S
cmp -s "$scratch/earlier.exe" "$program_dir/bin/morvesta.exe" ||
    fail "the install over a version recorded in C:\\Morvesta changed morvesta.exe"
[ "$(installed_version)" = "$(version_of "$earlier")" ] ||
    fail "after refusing a version recorded in C:\\Morvesta the list shows '$(installed_version)'"
wine reg add "$key" /v InstallLocation /d 'C:\Program Files\Morvesta' /f >/dev/null 2>&1
rm -rf "$elsewhere"
say "refused to run the uninstaller of a version recorded in C:\\Morvesta (exit code 7)"

# While the earlier program runs, neither this installer nor the earlier
# uninstaller changes anything.
start_installed
expect_exit "$EXIT_RUNNING" "the silent install while Morvesta runs" wine "$installer" /S
interactive_install "Feche o Morvesta antes de continuar." "while Morvesta runs"
[ "$status" -eq "$EXIT_RUNNING" ] || fail "the interactive install cancelled while Morvesta runs exited $status"
expect_exit "$EXIT_RUNNING" "the silent uninstall while Morvesta runs" uninstall_in_place
cmp -s "$scratch/earlier.exe" "$program_dir/bin/morvesta.exe" ||
    fail "the installer or the uninstaller changed morvesta.exe while it ran"
expect 1 "after refusing while Morvesta runs"
[ "$(installed_version)" = "$(version_of "$earlier")" ] ||
    fail "after refusing while Morvesta runs the installed programs list shows '$(installed_version)'"
close_installed
start_installed
close_installed
say "refused while Morvesta ran (exit code 4), silently and interactively, as the" \
    "uninstaller did; the earlier program untouched, started again"

wine "$installer" /S || fail "the silent install over the earlier version failed"
expect 1 "after installing over the earlier version"
cmp -s "$program" "$program_dir/bin/morvesta.exe" ||
    fail "after the upgrade Program Files\\Morvesta\\bin\\morvesta.exe is not this build's morvesta.exe"
[ "$(installed_version)" = "$(version_of "$installer")" ] ||
    fail "after the upgrade the installed programs list shows version '$(installed_version)'"
file_version=$(strings -el "$program_dir/bin/morvesta.exe" | grep -A1 -x FileVersion | tail -n1)
[ "$file_version" = "$(version_of "$installer")" ] ||
    fail "after the upgrade Program Files\\Morvesta holds morvesta.exe version '$file_version'"
for file in LICENSE.txt THIRD-PARTY-NOTICES.txt; do
    [ -s "$program_dir/$file" ] || fail "the install put no $file beside the program"
done
say "$(basename "$installer") installed over $(basename "$earlier")"

# Every file the program looks for, through strace: none under the prefix
# Qt for Windows was configured for, which no one installs and any user may
# create (C:\opt, or the same on the current drive), in any letter case.
# And a style sheet on its command line, which would disable every control.
echo '* { qproperty-enabled: false; }' >"$scratch/planted.qss"
arguments=(-stylesheet "$scratch/planted.qss")
start_installed strace -f -qq --seccomp-bpf -s 4096 -e trace=%file -o "$scratch/trace"
arguments=()
# Qt answers UI Automation for the window (Wine reads no further than the
# window itself): a window (control type 50032) named Morvesta.
reads=$(wine "$probe" reads Morvesta | tr -d '\r') || true
[ "$reads" = "50032 Morvesta" ] || fail "UI Automation reads the window as '$reads'"
expect_exit "$EXIT_RUNNING" "the silent uninstall while Morvesta runs" uninstall_in_place
cmp -s "$program" "$program_dir/bin/morvesta.exe" || fail "the uninstaller changed morvesta.exe while it ran"
close_installed
say "installed program showed its window at $frame"
parent=${qt_configured%/*}
outside=$(sed 's#[/\\]\+#/#g' "$scratch/trace" |
    grep -oiF -e "${parent#/}/" -e "${parent#/}\"" -e "/${qt_configured##*/}/" -e "/${qt_configured##*/}\"" |
    head -n1) || true
[ -z "$outside" ] || fail "the installed program looked in $qt_configured: $(sed 's#[/\\]\+#/#g' \
    "$scratch/trace" | grep -iF "$outside" | grep -o '"[^"]*"' | head -n1)"
grep -q 'morvesta\.exe' "$scratch/trace" || fail "strace saw nothing of the installed program"
say "the installed program looked for nothing in $qt_configured"
! grep -v execve "$scratch/trace" | grep -q 'planted\.qss' ||
    fail "the installed program read the style sheet given on its command line"
say "the installed program opened no style sheet given on its command line"

uninstall || fail "the silent uninstall failed or left Program Files\\Morvesta behind"
expect 0 "after uninstalling"
say "upgrade, start and silent uninstall passed"
