# The same commit builds the same program and packages, byte for byte, in
# any folder, by any user, at any time. Every time the build stores is the
# commit's (MORVESTA_SOURCE_DATE_EPOCH): SOURCE_DATE_EPOCH when the caller
# sets it, else the time git archive wrote into cmake/source-date-epoch, else
# the commit's time from git. Never the current time: without any of them
# the build stops.

if(DEFINED ENV{SOURCE_DATE_EPOCH})
    set(MORVESTA_SOURCE_DATE_EPOCH "$ENV{SOURCE_DATE_EPOCH}")
else()
    file(STRINGS "${PROJECT_SOURCE_DIR}/cmake/source-date-epoch" MORVESTA_SOURCE_DATE_EPOCH
         LIMIT_COUNT 1)
    if(NOT MORVESTA_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
        # Unfilled: a git checkout (its own, not one it may sit in).
        find_package(Git QUIET)
        set(git_top "")
        if(GIT_FOUND)
            execute_process(COMMAND "${GIT_EXECUTABLE}" -C "${PROJECT_SOURCE_DIR}" rev-parse --show-toplevel
                            OUTPUT_VARIABLE git_top OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
        endif()
        file(REAL_PATH "${PROJECT_SOURCE_DIR}" source_dir)
        if(git_top STREQUAL source_dir)
            execute_process(COMMAND "${GIT_EXECUTABLE}" -C "${PROJECT_SOURCE_DIR}" log -1 --format=%ct
                            OUTPUT_VARIABLE MORVESTA_SOURCE_DATE_EPOCH
                            OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
        else()
            message(FATAL_ERROR "No commit time: no git checkout, cmake/source-date-epoch unfilled")
        endif()
    endif()
endif()
if(NOT MORVESTA_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
    message(FATAL_ERROR "SOURCE_DATE_EPOCH is '${MORVESTA_SOURCE_DATE_EPOCH}', not a number of seconds")
endif()
# For string(TIMESTAMP), CPack (the package's file times) and rcc.
set(ENV{SOURCE_DATE_EPOCH} "${MORVESTA_SOURCE_DATE_EPOCH}")
string(TIMESTAMP MORVESTA_RELEASE_DATE "%Y-%m-%d" UTC)
# rcc stores each resource's file time unless told the commit's.
set_property(GLOBAL PROPERTY RULE_LAUNCH_CUSTOM
    "\"${CMAKE_COMMAND}\" -E env SOURCE_DATE_EPOCH=${MORVESTA_SOURCE_DATE_EPOCH}")

# The folders the build happens in stay out of debug information, build IDs
# and __FILE__.
if(NOT MSVC)
    add_compile_options("-ffile-prefix-map=${PROJECT_SOURCE_DIR}=/usr/src/morvesta"
                        "-ffile-prefix-map=${PROJECT_BINARY_DIR}=/usr/src/morvesta/build")
endif()
if(MINGW)
    # No link time in the PE header, so no varying checksum either; and
    # stripping, which writes a new header, takes the commit's time (this
    # rule runs before those of the folders below).
    add_link_options(-Wl,--no-insert-timestamp)
    install(CODE "set(ENV{SOURCE_DATE_EPOCH} ${MORVESTA_SOURCE_DATE_EPOCH})")
endif()
# Folders the install makes get the usual modes whatever the umask (the
# package's own file modes come from the install rules).
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
