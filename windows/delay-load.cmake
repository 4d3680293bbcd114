# The Windows program delay-loads every DLL windows/dlls.txt marks "delay":
# for each, an import library that delay-loads it, made with dlltool from the
# toolchain's own, in a folder searched before the toolchain's by the
# program's link alone, so that Qt's "-lversion" and the rest take it.
# mingw-w64's runtime has the helper that loads them (__delayLoadHelper2,
# in libmingwex), with LoadLibrary, which by then looks in the system folder
# only (runtime/windowsentry.cpp).
#
#   morvesta_delay_load(<target>)
# and, run as a script, for one DLL:
#   cmake -DNM=... -DDLLTOOL=... -DIMPORT_LIBRARY=... -DOUTPUT=... -P delay-load.cmake

if(CMAKE_SCRIPT_MODE_FILE)
    execute_process(COMMAND "${DLLTOOL}" --identify "${IMPORT_LIBRARY}"
                    OUTPUT_VARIABLE dll OUTPUT_STRIP_TRAILING_WHITESPACE
                    RESULT_VARIABLE result)
    execute_process(COMMAND "${NM}" -g --defined-only "${IMPORT_LIBRARY}"
                    OUTPUT_VARIABLE symbols RESULT_VARIABLE nm_result)
    if(NOT result EQUAL 0 OR NOT nm_result EQUAL 0 OR dll STREQUAL "")
        message(FATAL_ERROR "delay-load: cannot read the import library ${IMPORT_LIBRARY}")
    endif()
    string(REGEX MATCHALL "__imp_[A-Za-z0-9_@?$]+" imports "${symbols}")
    list(TRANSFORM imports REPLACE "^__imp_" "")
    list(REMOVE_DUPLICATES imports)
    list(SORT imports)
    list(JOIN imports "\n    " exports)
    # dlltool names the stubs' symbols after the library's path: a name alone,
    # in its folder, so that the program is the same in any build folder.
    get_filename_component(folder "${OUTPUT}" DIRECTORY)
    get_filename_component(library "${OUTPUT}" NAME)
    file(WRITE "${OUTPUT}.def" "LIBRARY ${dll}\nEXPORTS\n    ${exports}\n")
    execute_process(COMMAND "${DLLTOOL}" --input-def "${library}.def" --dllname "${dll}"
                            --output-delaylib "${library}" --temp-prefix "${library}-"
                    WORKING_DIRECTORY "${folder}"
                    RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "delay-load: dlltool could not make ${OUTPUT}")
    endif()
    return()
endif()

function(morvesta_delay_load target)
    string(REGEX REPLACE "nm(\\.exe)?$" "dlltool" dlltool "${CMAKE_NM}")
    if(NOT EXISTS "${dlltool}")
        message(FATAL_ERROR "No dlltool beside ${CMAKE_NM}")
    endif()
    file(STRINGS "${PROJECT_SOURCE_DIR}/windows/dlls.txt" lines REGEX "^[a-z0-9_-]+ +delay ")
    set(folder "${CMAKE_CURRENT_BINARY_DIR}/delay-load")
    set(libraries "")
    foreach(line IN LISTS lines)
        string(REGEX MATCH "^[a-z0-9_-]+" name "${line}")
        find_library(MORVESTA_IMPORT_${name} NAMES ${name} REQUIRED NO_CMAKE_PATH
                     NO_CMAKE_ENVIRONMENT_PATH)
        mark_as_advanced(MORVESTA_IMPORT_${name})
        set(library "${folder}/lib${name}.a")
        add_custom_command(OUTPUT "${library}"
            COMMAND "${CMAKE_COMMAND}" -DNM=${CMAKE_NM} -DDLLTOOL=${dlltool}
                    -DIMPORT_LIBRARY=${MORVESTA_IMPORT_${name}} -DOUTPUT=${library}
                    -P "${PROJECT_SOURCE_DIR}/windows/delay-load.cmake"
            DEPENDS "${PROJECT_SOURCE_DIR}/windows/delay-load.cmake" "${PROJECT_SOURCE_DIR}/windows/dlls.txt"
            COMMENT "Delay-loading ${name}.dll"
            VERBATIM)
        list(APPEND libraries "${library}")
    endforeach()
    add_custom_target(${target}_delay_load DEPENDS ${libraries})
    add_dependencies(${target} ${target}_delay_load)
    # Named relative to where the link runs: the linker orders the import
    # tables' pieces by the names of the libraries they come from, and an
    # absolute build folder would sort before or after the toolchain's own
    # (/usr/...) as it happens, laying the program out otherwise.
    if(CMAKE_GENERATOR MATCHES "Ninja")
        file(RELATIVE_PATH relative "${CMAKE_BINARY_DIR}" "${folder}")
    else()
        file(RELATIVE_PATH relative "${CMAKE_CURRENT_BINARY_DIR}" "${folder}")
    endif()
    target_link_options(${target} BEFORE PRIVATE "-L${relative}")
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${libraries})
endfunction()
