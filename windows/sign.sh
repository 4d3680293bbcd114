#!/usr/bin/env bash
# Authenticode signatures of the Windows program, its uninstaller and its
# installer, with osslsigncode. The key, from the environment (windows/build.sh
# fills in what is unset from the build's CMake cache):
#   MORVESTA_SIGN_PKCS12           a PKCS#12 file (.p12, .pfx) with the key and
#                                  its certificate chain, readable by its owner
#                                  only, protected by a password:
#   MORVESTA_SIGN_PASSWORD         that password (or, for PKCS#11, the PIN), or
#   MORVESTA_SIGN_PASSWORD_FILE    a file holding it, readable by its owner only
#                                  (windows/build.sh moves the first into a file
#                                  of the second kind before anything runs)
# or, for a key on a PKCS#11 token (smart card, HSM):
#   MORVESTA_SIGN_PKCS11_MODULE    the token's PKCS#11 module (a .so)
#   MORVESTA_SIGN_PKCS11_KEY       the key's PKCS#11 id or URI (pkcs11:...),
#                                  without its PIN (no pin-value; a pin-source
#                                  only in a file its owner alone may read):
#                                  it stands on osslsigncode's command line,
#                                  which every user may read
#   MORVESTA_SIGN_CERTS            the certificate chain, PEM
# and, with either:
#   MORVESTA_SIGN_TIMESTAMP_URL    an RFC 3161 time-stamp server (optional)
#
#   sign.sh check
#       "sign" when a key is given and opens, "none" when none is given; a key
#       that is missing, unreadable or wrongly protected fails with one line.
#   sign.sh file <unsigned> <signed> <signature>
#       MORVESTA_SIGN_MODE=sign: signs <unsigned> into <signed> and writes the
#       signature alone (PKCS#7, PEM) to <signature>; attach: attaches the
#       signature <signature> (when it exists) to <unsigned> as <signed>;
#       unset: copies. <signed> appears only once complete.
#   sign.sh uninstaller <file>
#       For makensis's !uninstfinalize: the uninstaller <file>, signed in
#       place as above (or its signature attached), the signature being
#       $MORVESTA_SIGNATURES/Uninstall.exe.sig; copies of it before and after
#       in $MORVESTA_SIGNATURES/uninstaller/.
#
# (PEM: osslsigncode 2.5, Debian 12's, writes DER signatures with a header
# that later versions do not; both read and write PEM alike.)
# A signed file is always the unsigned one with the signature attached:
# attaching the detached signature to the unsigned file must give the signed
# file byte for byte, or the signing fails. That is what lets anyone check a
# signed release against the reproducible build (verify-release.sh).
set -euo pipefail

. "$(dirname "$0")/../scripts/lib.sh" sign
command -v osslsigncode >/dev/null || fail "osslsigncode is missing (apt-get install osslsigncode)"

# Fails unless the file is readable by its owner only.
private() {
    [ "$(($(stat -L -c '%#a' "$2") & 077))" -eq 0 ] || fail "$1 $2: others may read it (chmod 600 it)"
}

password() {
    if [ -n "${MORVESTA_SIGN_PASSWORD_FILE:-}" ]; then
        [ -f "$MORVESTA_SIGN_PASSWORD_FILE" ] && [ -r "$MORVESTA_SIGN_PASSWORD_FILE" ] ||
            fail "password file $MORVESTA_SIGN_PASSWORD_FILE cannot be read"
        head -n1 "$MORVESTA_SIGN_PASSWORD_FILE" | tr -d '\r\n'
    else
        printf '%s' "${MORVESTA_SIGN_PASSWORD:-}"
    fi
}
has_password() { [ -n "${MORVESTA_SIGN_PASSWORD_FILE:-}" ] || [ -n "${MORVESTA_SIGN_PASSWORD:-}" ]; }

check() {
    local p12=${MORVESTA_SIGN_PKCS12:-} module=${MORVESTA_SIGN_PKCS11_MODULE:-}
    if [ -z "$p12" ] && [ -z "$module" ]; then
        echo none
        return
    fi
    [ -z "$p12" ] || [ -z "$module" ] ||
        fail "give either MORVESTA_SIGN_PKCS12 or MORVESTA_SIGN_PKCS11_MODULE, not both"
    if [ -n "${MORVESTA_SIGN_PASSWORD_FILE:-}" ]; then
        [ -f "$MORVESTA_SIGN_PASSWORD_FILE" ] && [ -r "$MORVESTA_SIGN_PASSWORD_FILE" ] ||
            fail "password file $MORVESTA_SIGN_PASSWORD_FILE cannot be read"
        private "password file" "$MORVESTA_SIGN_PASSWORD_FILE"
    fi
    if [ -n "$p12" ]; then
        [ -e "$p12" ] || fail "signing key $p12: no such file"
        [ -f "$p12" ] && [ -r "$p12" ] || fail "signing key $p12: cannot be read"
        private "signing key" "$p12"
        has_password || fail "signing key $p12: no password given (MORVESTA_SIGN_PASSWORD or MORVESTA_SIGN_PASSWORD_FILE)"
        local errors
        if ! errors=$(openssl pkcs12 -in "$p12" -noout -passin fd:3 3< <(password) 2>&1) &&
            ! errors=$(openssl pkcs12 -legacy -in "$p12" -noout -passin fd:3 3< <(password) 2>&1); then
            case "$errors" in
            *"verify error"* | *"invalid password"*) fail "signing key $p12: the password does not open it" ;;
            *) fail "signing key $p12: not a PKCS#12 file, or damaged" ;;
            esac
        fi
        [ -n "$(openssl pkcs12 -in "$p12" -nocerts -nodes -passin fd:3 3< <(password) 2>/dev/null ||
            openssl pkcs12 -legacy -in "$p12" -nocerts -nodes -passin fd:3 3< <(password) 2>/dev/null)" ] ||
            fail "signing key $p12: holds no private key"
    else
        [ -f "$module" ] && [ -r "$module" ] || fail "PKCS#11 module $module: no such file or unreadable"
        local uri=${MORVESTA_SIGN_PKCS11_KEY:-}
        [ -n "$uri" ] || fail "PKCS#11 module given without MORVESTA_SIGN_PKCS11_KEY"
        # (RFC 7512: attributes after "pkcs11:" and after "?", split at ";" and "&".)
        local attribute attributes
        IFS=';?&' read -ra attributes <<<"${uri#pkcs11:}"
        for attribute in "${attributes[@]}"; do
            case "${attribute,,}" in
            pin-value=*)
                fail "PKCS#11 key $(sed 's/pin-value=[^;?&]*/pin-value=.../I' <<<"$uri"): its PIN would stand on" \
                    "a command line any user may read; give it in MORVESTA_SIGN_PASSWORD_FILE" ;;
            pin-source=*)
                local source=${attribute#*=}
                source=$(printf '%b' "${source//%/\\x}")
                source=${source#file:}
                [[ $source != //* ]] || source=/${source#//*/}
                [ -f "$source" ] || fail "PKCS#11 key $uri: its pin-source $source is no file"
                private "PKCS#11 PIN file" "$source" ;;
            esac
        done
        local certs=${MORVESTA_SIGN_CERTS:-}
        [ -n "$certs" ] || fail "a PKCS#11 key needs its certificate chain in MORVESTA_SIGN_CERTS"
        openssl x509 -in "$certs" -noout 2>/dev/null || fail "certificate chain $certs: no PEM certificate"
    fi
    echo sign
}

# osslsigncode sign's key options.
key_options() {
    if [ -n "${MORVESTA_SIGN_PKCS12:-}" ]; then
        echo -pkcs12 "$MORVESTA_SIGN_PKCS12"
    else
        echo -pkcs11module "$MORVESTA_SIGN_PKCS11_MODULE" -key "$MORVESTA_SIGN_PKCS11_KEY" \
            -certs "$MORVESTA_SIGN_CERTS"
    fi
}

# osslsigncode attach-signature <signature> <unsigned> <out>. It also checks
# the signature's certificate chain: against the system's certificates and
# the chain the signature carries (whether the publisher is trusted is
# osslsigncode verify's question, not this one's). It writes <out> even when
# the signature does not fit; the caller compares the bytes.
attach() {
    local chain=$3.chain
    { cat /etc/ssl/certs/ca-certificates.crt 2>/dev/null || true
      openssl pkcs7 -in "$1" -print_certs 2>/dev/null || true; } >"$chain"
    local status=0
    osslsigncode attach-signature -CAfile "$chain" -sigin "$1" -in "$2" -out "$3" >/dev/null 2>&1 || status=$?
    rm -f "$chain"
    return "$status"
}

sign_file() {
    local unsigned=$1 signed=$2 signature=$3 name
    name=$(basename "$signed")
    local partial=$signed.partial sig_partial=$signature.partial
    rm -f "$partial" "$sig_partial"
    at_exit rm -f "$partial" "$sig_partial"
    case "${MORVESTA_SIGN_MODE:-}" in
    sign)
        local timestamp=()
        [ -z "${MORVESTA_SIGN_TIMESTAMP_URL:-}" ] || timestamp=(-ts "$MORVESTA_SIGN_TIMESTAMP_URL")
        local options
        read -ra options <<<"$(key_options)"
        osslsigncode sign "${options[@]}" -readpass <(password) -h sha256 -n Morvesta \
            "${timestamp[@]}" -in "$unsigned" -out "$partial" >"$partial.log" 2>&1 ||
            { local why; why=$(grep -v -e '^$' -e '^Failed$' "$partial.log" | tail -n1 || true)
              [ ${#timestamp[@]} -eq 0 ] || ! grep -qiE 'time-?stamp|connect' "$partial.log" ||
                  why="no time stamp from $MORVESTA_SIGN_TIMESTAMP_URL ($why)"
              rm -f "$partial.log"; fail "signing $name failed: $why"; }
        rm -f "$partial.log"
        osslsigncode extract-signature -pem -in "$partial" -out "$sig_partial" >/dev/null 2>&1 ||
            fail "could not extract the signature of $name"
        # The signed file is the unsigned one with this signature attached.
        local again=$signed.again
        attach "$sig_partial" "$unsigned" "$again" ||
            { rm -f "$again"; fail "could not attach the signature of $name to its unsigned file"; }
        cmp -s "$again" "$partial" ||
            { rm -f "$again"; fail "$name signed is not its unsigned file with the signature attached"; }
        rm -f "$again"
        mv "$sig_partial" "$signature"
        ;;
    attach)
        if [ -f "$signature" ]; then
            attach "$signature" "$unsigned" "$partial" ||
                say "the signature $(basename "$signature") does not fit the rebuilt $name"
            [ -f "$partial" ] || fail "could not attach $signature to $name"
        else
            cp "$unsigned" "$partial"
        fi
        ;;
    "") cp "$unsigned" "$partial" ;;
    *) fail "MORVESTA_SIGN_MODE is '$MORVESTA_SIGN_MODE', not sign or attach" ;;
    esac
    mv "$partial" "$signed"
}

uninstaller() {
    local file=$1 dir=${MORVESTA_SIGNATURES:?MORVESTA_SIGNATURES names no folder}
    mkdir -p "$dir/uninstaller"
    cp "$file" "$dir/uninstaller/Uninstall.exe.unsigned"
    (sign_file "$dir/uninstaller/Uninstall.exe.unsigned" "$dir/uninstaller/Uninstall.exe" "$dir/Uninstall.exe.sig")
    cp "$dir/uninstaller/Uninstall.exe" "$file"
}

case "${1:-}" in
check) check ;;
file) [ $# -eq 4 ] || fail "usage: sign.sh file <unsigned> <signed> <signature>"; sign_file "$2" "$3" "$4" ;;
uninstaller) [ $# -eq 2 ] || fail "usage: sign.sh uninstaller <file>"; uninstaller "$2" ;;
*) fail "usage: sign.sh check | file <unsigned> <signed> <signature> | uninstaller <file>" ;;
esac
