# The shell library of the project's scripts, sourced (not run) by each:
#
#   . "<top>/scripts/lib.sh" <name>     (<name> begins each of its messages)
#
# Messages and failure, commands run at the end, the environment the builds
# run in, the machine's apt sources, a private X server, and waiting for a
# process or a condition with a bound.

lib_name=${1:-$(basename "$0")}

# A line on standard error; fail ends the script with it.
say() { echo "$lib_name: $*" >&2; }
fail() {
    say "$@"
    exit 1
}

# Commands run when the script ends, however it ends, the last given first
# (one trap for all, which a script's own trap on EXIT would replace).
lib_at_exit=()
at_exit() {
    lib_at_exit=("$(printf '%q ' "$@")" "${lib_at_exit[@]}")
    trap 'for lib_command in "${lib_at_exit[@]}"; do eval "$lib_command" || true; done' EXIT
}

# Waits up to <seconds> for a command to succeed; fails, naming <what>,
# when it does not.
#   wait_until <seconds> <what> <command>...
wait_until() {
    local seconds=$1 what=$2 tries
    shift 2
    for ((tries = seconds * 10; tries > 0; tries--)); do
        "$@" && return 0
        sleep 0.1
    done
    fail "$what did not happen within $seconds s"
}

# Waits up to <seconds> for a process started in the background to end and
# returns its exit code; kills it and fails, naming <what>, when it runs on.
#   wait_for_exit <pid> <seconds> <what>
wait_for_exit() {
    local pid=$1 seconds=$2 what=$3 tries
    for ((tries = seconds * 10; tries > 0; tries--)); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$pid" 2>/dev/null; then
        kill "$pid" 2>/dev/null || true
        fail "$what did not end within $seconds s"
    fi
    wait "$pid"
}

# A private X server (Xvfb) on a display it picks itself, stopped at the
# end; DISPLAY names it.
#   start_x_server [width x height]     (default 1024x768)
start_x_server() {
    local size=${1:-1024x768} displays
    displays=$(mktemp)
    Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$displays" >/dev/null 2>&1 &
    at_exit kill "$!"
    wait_until 30 "Xvfb's start" grep -q '^[0-9]' "$displays"
    export DISPLAY=:$(head -n1 "$displays")
    rm -f "$displays"
}

# Files and folders get the usual modes whatever the caller's umask, as
# dpkg-buildpackage does: they go into the packages and archives as they are.
build_env_modes() { umask 022; }

# What tools write into the build's outputs does not follow the caller's
# language or time zone.
build_env_c() { export LC_ALL=C TZ=UTC; }

# The cache (Qt for Windows, the Wine prefix) sits in the user's home, which
# a bare CI environment may not name: MORVESTA_CACHE, exported.
build_env_cache() {
    export HOME=${HOME:-$(getent passwd "$(id -u)" | cut -d: -f6)}
    export MORVESTA_CACHE=${MORVESTA_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/morvesta}
}

# A bare environment, as a new machine's CI gives: "${build_env_bare[@]}"
# VAR=value... command. The commit's time comes from the tree
# (cmake/reproducible.cmake), never from the caller's SOURCE_DATE_EPOCH.
build_env_bare=(env -i PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin)

# The commit's time a configured build took (SOURCE_DATE_EPOCH, from
# cmake/reproducible.cmake), for what the scripts pack themselves.
build_env_epoch() {
    sed -n 's/^set(CPACK_MORVESTA_SOURCE_DATE_EPOCH "\([0-9]*\)")$/\1/p' "$1/CPackConfig.cmake"
}

# A signing password given in the environment would reach everything the
# build runs (Qt's build, the test suite, Wine, apt): it is moved, before
# anything runs, into a file only its owner may read, which
# MORVESTA_SIGN_PASSWORD_FILE names from then on and which goes when the
# script ends.
build_env_hide_password() {
    [ -n "${MORVESTA_SIGN_PASSWORD+set}" ] || return 0
    [ -z "${MORVESTA_SIGN_PASSWORD_FILE:-}" ] ||
        fail "give MORVESTA_SIGN_PASSWORD or MORVESTA_SIGN_PASSWORD_FILE, not both"
    local folder
    folder=$(umask 077 && mktemp -d "${XDG_RUNTIME_DIR:-${TMPDIR:-/tmp}}/morvesta-sign.XXXXXX")
    at_exit rm -rf "$folder"
    (umask 077 && printf '%s\n' "$MORVESTA_SIGN_PASSWORD" >"$folder/password")
    unset MORVESTA_SIGN_PASSWORD
    export MORVESTA_SIGN_PASSWORD_FILE=$folder/password
}

# Every enabled binary source of this machine's apt, one a line:
#   <uri> <suite> <signed-by, or -> <component>...
# from sources.list and sources.list.d, one-line (*.list) or deb822
# (*.sources) format, comments and disabled stanzas left out.
apt_sources() {
    local list
    for list in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -f "$list" ] || continue
        awk '{ sub(/#.*/, "") }
             $1 != "deb" { next }
             {
                 signed = "-"; i = 2
                 if ($2 ~ /^\[/) {
                     for (; i <= NF; i++) {
                         option = $i; gsub(/[][]/, "", option)
                         if (tolower(option) ~ /^signed-by=/) { sub(/^[^=]*=/, "", option); signed = option }
                         if ($i ~ /\]$/) break
                     }
                     i++
                 }
                 line = $i " " $(i + 1) " " signed
                 for (j = i + 2; j <= NF; j++) line = line " " $j
                 print line
             }' "$list"
    done
    for list in /etc/apt/sources.list.d/*.sources; do
        [ -f "$list" ] || continue
        awk 'function flush(    u, s) {
                 if (types ~ /(^| )deb( |$)/ && enabled != "no")
                     for (u = 1; u <= nu; u++) for (s = 1; s <= ns; s++)
                         print uri[u], suite[s], (signed == "" ? "-" : signed) components
                 types = ""; enabled = ""; signed = ""; components = ""; nu = 0; ns = 0
             }
             /^[[:space:]]*#/ { next }
             /^[[:space:]]*$/ { flush(); next }
             { key = tolower($1); $1 = "" }
             key == "types:" { types = $0 " " }
             key == "enabled:" { enabled = tolower($2) }
             key == "uris:" { nu = split($0, uri, " ") }
             key == "suites:" { ns = split($0, suite, " ") }
             key == "components:" { components = $0 }
             key == "signed-by:" { signed = $2 }
             END { flush() }' "$list"
    done
}
