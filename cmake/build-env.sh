# The environment the builds run in and the machine's apt sources, in one
# place. Sourced (not run) by build.sh, windows/*.sh, .ci/reproduce and
# .ci/fresh-root:
#
#   . "<top>/cmake/build-env.sh"

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

# Commands run when the script ends, however it ends, the last given first:
# at_exit <command>... (one trap for all, which a script's own would replace).
build_env_at_exit=()
at_exit() {
    build_env_at_exit=("$(printf '%q ' "$@")" "${build_env_at_exit[@]}")
    trap 'for build_env_command in "${build_env_at_exit[@]}"; do eval "$build_env_command" || true; done' EXIT
}

# A signing password given in the environment would reach everything the
# build runs (Qt's build, the test suite, Wine, apt): it is moved, before
# anything runs, into a file only its owner may read, which
# MORVESTA_SIGN_PASSWORD_FILE names from then on and which goes when the
# script ends.
build_env_hide_password() {
    [ -n "${MORVESTA_SIGN_PASSWORD+set}" ] || return 0
    if [ -n "${MORVESTA_SIGN_PASSWORD_FILE:-}" ]; then
        echo "$0: give MORVESTA_SIGN_PASSWORD or MORVESTA_SIGN_PASSWORD_FILE, not both" >&2
        exit 1
    fi
    local folder
    folder=$(umask 077 && mktemp -d "${XDG_RUNTIME_DIR:-${TMPDIR:-/tmp}}/morvesta-sign.XXXXXX")
    at_exit rm -rf "$folder"
    (umask 077 && printf '%s\n' "$MORVESTA_SIGN_PASSWORD" >"$folder/password")
    unset MORVESTA_SIGN_PASSWORD
    export MORVESTA_SIGN_PASSWORD_FILE=$folder/password
}

# The commit's time a configured build took (SOURCE_DATE_EPOCH, from
# cmake/reproducible.cmake), for what the scripts pack themselves.
build_env_epoch() {
    sed -n 's/^set(CPACK_MORVESTA_SOURCE_DATE_EPOCH "\([0-9]*\)")$/\1/p' "$1/CPackConfig.cmake"
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
