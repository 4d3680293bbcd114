# Run by cpack once the install is staged, before the installer is made
# (CPACK_PRE_BUILD_SCRIPTS): windows/build.sh names the program as it staged
# it (MORVESTA_UNSIGNED_EXE) and as it releases it (MORVESTA_RELEASED_EXE,
# signed when the release is). The staged program must be the very one
# released unsigned; the installer then carries the released one.
if(NOT DEFINED ENV{MORVESTA_RELEASED_EXE})
    return()
endif()
file(GLOB_RECURSE staged "${CPACK_TEMPORARY_DIRECTORY}/morvesta.exe")
if(NOT staged)
    file(GLOB_RECURSE staged "${CPACK_TOPLEVEL_DIRECTORY}/morvesta.exe")
endif()
list(LENGTH staged count)
if(NOT count EQUAL 1)
    message(FATAL_ERROR "sign-staged: ${count} staged morvesta.exe, not one")
endif()
execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${staged}" "$ENV{MORVESTA_UNSIGNED_EXE}"
                RESULT_VARIABLE different)
if(different)
    message(FATAL_ERROR "sign-staged: the staged morvesta.exe is not the one released")
endif()
file(COPY_FILE "$ENV{MORVESTA_RELEASED_EXE}" "${staged}")
