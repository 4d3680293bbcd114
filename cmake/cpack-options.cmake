# Read by cpack for every package it makes: CPack's Debian packages take
# their file times from SOURCE_DATE_EPOCH.
set(ENV{SOURCE_DATE_EPOCH} "${CPACK_MORVESTA_SOURCE_DATE_EPOCH}")

# The installer: makensis hands the uninstaller it wrote to windows/sign.sh,
# which signs it (or attaches its signature) before it is packed in, when
# windows/build.sh signs (MORVESTA_SIGN_MODE=sign) or attaches the release's
# signatures (attach, with Uninstall.exe.sig among them). Without it the
# installer is made as it always was.
set(CPACK_MORVESTA_UNINSTFINALIZE "")
if(CPACK_GENERATOR STREQUAL "NSIS"
   AND ("$ENV{MORVESTA_SIGN_MODE}" STREQUAL "sign"
        OR ("$ENV{MORVESTA_SIGN_MODE}" STREQUAL "attach"
            AND EXISTS "$ENV{MORVESTA_SIGNATURES}/Uninstall.exe.sig")))
    set(CPACK_MORVESTA_UNINSTFINALIZE
        "!uninstfinalize '\"${CPACK_MORVESTA_SIGN_SCRIPT}\" uninstaller \"%1\"' = 0")
endif()
