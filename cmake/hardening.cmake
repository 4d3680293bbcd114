# The Linux program is hardened as Debian builds its own packages: with the
# flags dpkg-buildflags gives (stack protector, fortified calls, format
# checks, read-only relocations) when it is there, else the same flags
# written out; their optimisation, debug and path-mapping flags are left to
# the build type and reproducible.cmake. Control flow protection (CET) on x86
# as well, which later Debian releases add to those flags.
#
# The Windows program gets what mingw-w64 offers of the same: the stack
# protector (GCC's libssp, linked in statically) and fortified calls (in
# mingw-w64's headers, checked by libssp); ASLR over the whole 64-bit space
# and no code run from data pages, which binutils asks for by default, asked
# for here all the same. (Qt for Windows, built once by windows/qt.sh, keeps
# the flags it was built with.)
#
# (Fortified calls need the optimiser: not in a Debug build.)
set(hardening_compile "")
set(hardening_link "")
if(MINGW)
    set(hardening_compile -D_FORTIFY_SOURCE=2 -fstack-protector-strong -Wformat
                          -Werror=format-security)
    set(hardening_link -fstack-protector-strong -Wl,--dynamicbase -Wl,--high-entropy-va
                       -Wl,--nxcompat)
else()
    find_program(MORVESTA_DPKG_BUILDFLAGS dpkg-buildflags)
    mark_as_advanced(MORVESTA_DPKG_BUILDFLAGS)
    if(MORVESTA_DPKG_BUILDFLAGS)
        foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
            execute_process(COMMAND "${MORVESTA_DPKG_BUILDFLAGS}" --get ${kind}
                            OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE
                            RESULT_VARIABLE result)
            if(NOT result EQUAL 0)
                message(FATAL_ERROR "dpkg-buildflags --get ${kind} failed")
            endif()
            separate_arguments(flags UNIX_COMMAND "${flags}")
            list(FILTER flags EXCLUDE REGEX "^(-g.*|-O.*|-f(file|debug|macro)-prefix-map=.*)$")
            if(kind STREQUAL "LDFLAGS")
                list(APPEND hardening_link ${flags})
            else()
                list(APPEND hardening_compile ${flags})
            endif()
        endforeach()
    else()
        set(hardening_compile -Wdate-time -D_FORTIFY_SOURCE=2 -fstack-protector-strong -Wformat
                              -Werror=format-security)
        set(hardening_link -Wl,-z,relro)
    endif()
    if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64|i.86)$"
       AND NOT "-fcf-protection" IN_LIST hardening_compile)
        list(APPEND hardening_compile -fcf-protection)
    endif()
    list(APPEND hardening_link -Wl,-z,now)
endif()
foreach(flag IN LISTS hardening_compile)
    if(flag MATCHES "^-D_FORTIFY_SOURCE")
        add_compile_options("$<$<NOT:$<CONFIG:Debug>>:${flag}>")
    else()
        add_compile_options("${flag}")
    endif()
endforeach()
add_link_options(${hardening_link})
message(STATUS "Hardening: ${hardening_compile} ${hardening_link}")
