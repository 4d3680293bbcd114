# Read by cpack for every package it makes: CPack's Debian packages take
# their file times from SOURCE_DATE_EPOCH.
set(ENV{SOURCE_DATE_EPOCH} "${CPACK_MORVESTA_SOURCE_DATE_EPOCH}")
