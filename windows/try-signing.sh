#!/usr/bin/env bash
# Tries the signing of the Windows release on a tree whose build-windows/ is
# built already (only the packaging runs again), with a certificate
# authority and a code-signing certificate made here with openssl and thrown
# away afterwards:
#   - a key that is missing, damaged, opened with a wrong password or
#     readable by others, a password file others may read, a PKCS#11 key
#     URI carrying its PIN or a PIN file others may read stops
#     windows/build.sh with one line naming it, before anything is made; a signing that fails half-way (a time-stamp
#     server that cannot be reached) stops it too; neither leaves a release
#     file behind;
#   - signed, the program, the installer and the uninstaller packed into it
#     verify against the throwaway authority (osslsigncode verify -CAfile)
#     and keep their PE protections (windows/build.sh checks them);
#   - verify-release.sh finds the signed release to be the build from its
#     source archive plus the signatures, and a copy with one byte changed
#     not to be, naming the file and the offset; nor a doctored release (its
#     exe not the build, its source archive's windows/build.sh copying the
#     release's files where the build's go), nor one whose source archive
#     has one line changed, each naming the file that differs.
#
#   try-signing.sh <tree>   (a git checkout, as a signed build needs)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../scripts/lib.sh" try-signing
build_env_cache
tree=$(cd "$1" && pwd)
built=$tree/build-windows

scratch=$(mktemp -d "${TMPDIR:-/tmp}/morvesta-signing.XXXXXX")
at_exit rm -rf "$scratch"
cd "$scratch"

openssl req -x509 -newkey rsa:3072 -nodes -keyout ca.key -out ca.pem -days 2 -subj "/CN=Morvesta throwaway CA" \
    -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign,cRLSign 2>/dev/null
openssl req -newkey rsa:3072 -nodes -keyout signer.key -out signer.csr -subj "/CN=Morvesta throwaway signer" 2>/dev/null
printf '%s\n' basicConstraints=CA:FALSE keyUsage=critical,digitalSignature extendedKeyUsage=codeSigning >signer.ext
openssl x509 -req -in signer.csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 2 -extfile signer.ext \
    -out signer.pem 2>/dev/null
echo "throwaway-$RANDOM$RANDOM" >password
chmod 600 password
openssl pkcs12 -export -inkey signer.key -in signer.pem -certfile ca.pem -passout file:password -out signer.p12
rm ca.key signer.key
head -c 3000 /dev/urandom >damaged.p12
cp signer.p12 open.p12
chmod 600 signer.p12 damaged.p12
chmod 644 open.p12
cp password open-password
chmod 644 open-password
key=(MORVESTA_SIGN_PKCS12="$scratch/signer.p12" MORVESTA_SIGN_PASSWORD_FILE="$scratch/password")

package() {
    (cd "$tree" && "${build_env_bare[@]}" HOME="$HOME" MORVESTA_CACHE="$MORVESTA_CACHE" "$@" windows/build.sh package) \
        </dev/null
}
# <what> <words of its one line> <variables>...
refused() {
    local what=$1 words=$2
    shift 2
    ! package "$@" >out 2>errors || fail "$what: the build went on"
    [ "$what" = "a time-stamp server out of reach" ] || [ "$(wc -l <errors)" -eq 1 ] ||
        fail "$what: not one line but: $(head -c 400 errors)"
    tail -n1 errors | grep -qF "$words" || fail "$what: '$words' not said, but: $(tail -n1 errors)"
    ! ls "$built" | grep -E '^(morvesta.*\.exe|SHA256SUMS|.*\.sig)$' || fail "$what: left the release files above"
    say "refused $what: $(tail -n1 errors)"
}
refused "a missing key" "no such file" MORVESTA_SIGN_PKCS12="$scratch/missing.p12" MORVESTA_SIGN_PASSWORD=x
refused "a damaged key" "not a PKCS#12 file" MORVESTA_SIGN_PKCS12="$scratch/damaged.p12" MORVESTA_SIGN_PASSWORD=x
refused "a wrong password" "the password does not open it" MORVESTA_SIGN_PKCS12="$scratch/signer.p12" \
    MORVESTA_SIGN_PASSWORD=wrong
refused "a key others may read" "others may read it" MORVESTA_SIGN_PKCS12="$scratch/open.p12" \
    MORVESTA_SIGN_PASSWORD_FILE="$scratch/password"
refused "a password file others may read" "others may read it" \
    MORVESTA_SIGN_PKCS12="$scratch/signer.p12" MORVESTA_SIGN_PASSWORD_FILE="$scratch/open-password"
# (The module and the chain are only looked at here: no token is needed.)
pkcs11=(MORVESTA_SIGN_PKCS11_MODULE="$scratch/password" MORVESTA_SIGN_CERTS="$scratch/ca.pem")
refused "a PKCS#11 key URI with its PIN" "its PIN would stand on a command line" "${pkcs11[@]}" \
    MORVESTA_SIGN_PKCS11_KEY='pkcs11:object=codesign;pin-value=1234'
refused "a PKCS#11 PIN file others may read" "others may read it" "${pkcs11[@]}" \
    MORVESTA_SIGN_PKCS11_KEY="pkcs11:object=codesign?pin-source=file:$scratch/open-password"
refused "a time-stamp server out of reach" "signing morvesta.exe failed" "${key[@]}" \
    MORVESTA_SIGN_TIMESTAMP_URL=http://127.0.0.1:9/

start=$SECONDS
package "${key[@]}" >out 2>&1 || fail "the signed build failed: $(tail -n1 out)"
installer=$(cd "$built" && ls morvesta-*-win64.exe)
for file in morvesta.exe "$installer" signatures/uninstaller/Uninstall.exe; do
    osslsigncode verify -CAfile ca.pem -in "$built/$file" >verified 2>&1 ||
        fail "$file: its signature does not verify: $(grep -v '^$' verified | tail -n1)"
done
for file in morvesta.exe.sig "$installer.sig" Uninstall.exe.sig; do
    grep -q " $file\$" "$built/SHA256SUMS" || fail "$file is not in SHA256SUMS"
done
say "signed and verified morvesta.exe, $installer and its uninstaller ($((SECONDS - start)) s)"

"$here/verify-release.sh" "$built" "$scratch/rebuilt" || fail "verify-release did not pass on the signed release"
mkdir tampered
(cd "$built" && cp morvesta.exe "$installer" morvesta-*-source.tar ./*.sig "$scratch/tampered/")
perl -e 'open(my $f, "+<:raw", $ARGV[0]) or die; seek($f, 4099, 0); read($f, my $c, 1);
    seek($f, 4099, 0); print $f chr(ord($c) ^ 0xff);' tampered/morvesta.exe
! "$here/verify-release.sh" tampered "$scratch/rebuilt" 2>errors || fail "verify-release passed a changed morvesta.exe"
grep -q "morvesta.exe is not the build .* from offset 4099 " errors ||
    fail "verify-release did not name morvesta.exe and offset 4099: $(head -c 400 errors)"
say "a changed copy refused: $(grep -m1 'offset 4099' errors)"

# Releases whose source archive was changed: it is unpacked, changed by
# <command> (run in the project's folder in it) and packed again beside
# copies of the release's files; verify-release must refuse it, naming
# <file>.
#   doctored <what> <file> <command>...
doctored() {
    local what=$1 file=$2 archive name
    shift 2
    archive=$(cd "$built" && ls morvesta-*-source.tar)
    name=${archive%.tar}
    rm -rf doctored && mkdir -p doctored/tree
    (cd "$built" && cp morvesta.exe "$installer" ./*.sig "$scratch/doctored/")
    tar -x -C doctored/tree -f "$built/$archive"
    (cd doctored/tree/"$name"/morvesta-* && "$@")
    tar -C doctored/tree -cf "doctored/$archive" "$name"
    rm -rf doctored/tree
    ! "$here/verify-release.sh" doctored "$scratch/rebuilt" 2>errors || fail "verify-release passed $what"
    tail -n1 errors | grep -qF "/$file:" || fail "verify-release did not name $file for $what: $(tail -n1 errors)"
    say "$what refused: $(tail -n1 errors)"
}
# The release's own script would copy the release into the build folder, so
# that a verifier running it compares the release with itself.
copies_the_release() {
    printf '%s\n' '#!/bin/sh' 'mkdir -p "$BUILD_DIR" && cp "$MORVESTA_SIGN_FROM"/* "$BUILD_DIR"/' >windows/build.sh
    printf '\0' >>"$scratch/doctored/morvesta.exe"
}
doctored "a doctored release" windows/build.sh copies_the_release
doctored "a source archive with one line changed" app/frmmorvesta.cpp \
    sed -i '0,/^#include/s//#include <cstdlib>\n&/' app/frmmorvesta.cpp
