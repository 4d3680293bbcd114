# Writes the third-party notices of a statically linked Windows program from
# what its link really took in, as the linker's map lists it:
#   - the program's own objects and libraries (in the build folder): the
#     program's licence, LICENSE;
#   - Qt's (under QT_PREFIX, the static Qt windows/qt.sh builds): Qt with the
#     LGPL v3 and GPL v3 texts, and every attribution entry of Qt's source
#     whose files went into an object the link took, by the index qt.sh made
#     of Qt's build (attribution/objects.tsv); a library Qt bundles must have
#     at least one;
#   - anything else (the compiler's and mingw-w64's runtime, import
#     libraries): the copyright file of the Debian package that holds it.
# A file of the link that none of these covers stops the build with its name.
#
#   cmake -DMAP=<linker map> -DQT_PREFIX=<Qt> -DQT_VERSION=<its version>
#         -DBINARY_DIR=<build folder> -DPROGRAM=<name> -DVERSION=<version>
#         -DOUTPUT=<file> -P notices.cmake
cmake_minimum_required(VERSION 3.21)
# dpkg-query's messages are read below.
set(ENV{LC_ALL} C)

set(attribution ${QT_PREFIX}/attribution)
foreach(required ${MAP} ${attribution}/objects.tsv)
    if(NOT EXISTS ${required})
        message(FATAL_ERROR "notices: ${required} is missing")
    endif()
endforeach()

# What the link took: archive members, and the objects named on its command
# line (the map's LOAD lines that are no archives).
# (Read with regular expressions, not as a CMake list: symbol names carry
# brackets and semicolons.)
file(READ ${MAP} map)
string(FIND "${map}" "\nDiscarded input sections" members_end)
string(SUBSTRING "${map}" 0 ${members_end} members)
string(REGEX MATCHALL "\n[^ \n][^\n(]*\\.a\\([^)\n]+\\)" members "${members}")
string(REGEX MATCHALL "\nLOAD /[^\n]*" loaded "${map}")
set(inputs "")
foreach(line IN LISTS members)
    string(REGEX MATCH "^\n(.*)\\((.*)\\)$" _ "${line}")
    list(APPEND inputs "${CMAKE_MATCH_1}|${CMAKE_MATCH_2}")
endforeach()
foreach(line IN LISTS loaded)
    string(REGEX REPLACE "^\nLOAD " "" file "${line}")
    if(NOT file MATCHES "\\.a$")
        list(APPEND inputs "${file}|")
    endif()
endforeach()

file(STRINGS ${attribution}/objects.tsv index_lines)
foreach(line IN LISTS index_lines)
    string(REPLACE "\t" ";" fields "${line}")
    list(GET fields 0 object)
    list(GET fields 1 entry)
    list(APPEND "entries_of_${object}" "${entry}")
endforeach()

cmake_path(NORMAL_PATH BINARY_DIR OUTPUT_VARIABLE own_root)
cmake_path(NORMAL_PATH QT_PREFIX OUTPUT_VARIABLE qt_root)
set(qt_parts "")
set(entries "")
set(system_files "")
foreach(input IN LISTS inputs)
    string(REPLACE "|" ";" input "${input}")
    list(GET input 0 file)
    list(GET input 1 member)
    # The linker runs in the build folder and names its libraries from there.
    cmake_path(ABSOLUTE_PATH file BASE_DIRECTORY "${BINARY_DIR}" NORMALIZE)
    get_filename_component(name "${file}" NAME)
    if(member STREQUAL "")
        set(object "${name}")
        set(what "${name}")
    else()
        set(object "${member}")
        set(what "${name}(${member})")
    endif()
    cmake_path(IS_PREFIX own_root "${file}" own)
    cmake_path(IS_PREFIX qt_root "${file}" of_qt)
    if(own)
        continue()
    elseif(of_qt)
        list(APPEND entries ${entries_of_${object}})
        if(name MATCHES "^libQt6Bundled")
            if(NOT DEFINED "entries_of_${object}")
                message(FATAL_ERROR "notices: no notice for ${what}: none of Qt's attribution "
                        "entries covers it")
            endif()
        elseif(name MATCHES "\\.a$")
            list(APPEND qt_parts "${name}")
        endif()
    else()
        list(APPEND system_files "${file}")
    endif()
endforeach()
list(REMOVE_DUPLICATES qt_parts)
list(SORT qt_parts)
list(REMOVE_DUPLICATES entries)
list(SORT entries)
list(REMOVE_DUPLICATES system_files)
list(SORT system_files)

set(rule "================================================================================")
file(READ ${attribution}/LICENSES/LGPL-3.0-only.txt lgpl)
file(READ ${attribution}/LICENSES/GPL-3.0-only.txt gpl)
list(JOIN qt_parts ", " qt_parts_text)
set(text "Third-party notices for ${PROGRAM} (Morvesta ${VERSION})

${PROGRAM} is Morvesta, under the MIT licence (LICENSE.txt beside this file),
linked statically with the components below, each listed with its copyright
and licence. They were found in the linker's map of this very build.

${rule}
Qt ${QT_VERSION}
Parts linked in: ${qt_parts_text}
Copyright (C) The Qt Company Ltd. and other contributors.
Licence: GNU Lesser General Public License v3 (LGPL-3.0-only), whose text
follows, with the GNU General Public License v3 it builds on.
Qt's corresponding source, and how to rebuild ${PROGRAM} against a modified
Qt, are in morvesta-${VERSION}-source.tar, published beside the installer
(see the README in it). Whoever passes ${PROGRAM} or its installer on to
anyone else passes morvesta-${VERSION}-source.tar on with it.

${lgpl}
${rule}
${gpl}
")

set(shown_licences "")
foreach(entry IN LISTS entries)
    string(REGEX MATCH "^(.*)#([0-9]+)$" _ "${entry}")
    set(json_path "${CMAKE_MATCH_1}")
    set(index "${CMAKE_MATCH_2}")
    get_filename_component(folder "${json_path}" DIRECTORY)
    file(READ "${attribution}/${json_path}" json)
    string(JSON type TYPE "${json}")
    if(type STREQUAL "ARRAY")
        string(JSON json GET "${json}" ${index})
    endif()
    set(fields "")
    foreach(key Name Version Homepage QtUsage Copyright License LicenseId)
        string(JSON ${key} ERROR_VARIABLE missing GET "${json}" ${key})
        if(missing)
            set(${key} "")
        endif()
    endforeach()
    string(APPEND text "${rule}\n${Name}")
    if(Version)
        string(APPEND text " ${Version}")
    endif()
    string(APPEND text "\n")
    if(Homepage)
        string(APPEND text "Homepage: ${Homepage}\n")
    endif()
    string(APPEND text "In Qt: ${QtUsage}\n${Copyright}\nLicence: ${License} (${LicenseId})\n")
    foreach(key LicenseFile LicenseFiles)
        string(JSON files ERROR_VARIABLE missing GET "${json}" ${key})
        if(missing)
            continue()
        endif()
        string(JSON files_type TYPE "${json}" ${key})
        if(files_type STREQUAL "ARRAY")
            string(JSON count LENGTH "${json}" ${key})
            math(EXPR last "${count} - 1")
            set(files "")
            foreach(i RANGE ${last})
                string(JSON file GET "${json}" ${key} ${i})
                list(APPEND files "${file}")
            endforeach()
        endif()
        foreach(file IN LISTS files)
            cmake_path(APPEND folder "${file}" OUTPUT_VARIABLE file)
            cmake_path(NORMAL_PATH file)
            if(file IN_LIST shown_licences)
                string(APPEND text "The licence text is given above, with an earlier component.\n")
            else()
                file(READ "${attribution}/${file}" licence_text)
                string(APPEND text "\n${licence_text}\n")
                list(APPEND shown_licences "${file}")
            endif()
        endforeach()
    endforeach()
    string(APPEND text "\n")
endforeach()

# The runtime pieces: by the Debian package each comes from, with that
# package's copyright file.
if(system_files)
    execute_process(COMMAND dpkg-query -S ${system_files}
                    OUTPUT_VARIABLE owners RESULT_VARIABLE result ERROR_VARIABLE errors)
    if(NOT result EQUAL 0)
        string(REGEX MATCH "no path found matching pattern ([^\n]*)" unowned "${errors}")
        message(FATAL_ERROR "notices: no notice for ${CMAKE_MATCH_1}: no Debian package holds it")
    endif()
    string(REGEX REPLACE "\n$" "" owners "${owners}")
    string(REPLACE "\n" ";" owners "${owners}")
    set(packages "")
    foreach(line IN LISTS owners)
        string(REGEX MATCH "^([^:]+): (.*)$" _ "${line}")
        get_filename_component(name "${CMAKE_MATCH_2}" NAME)
        list(APPEND packages "${CMAKE_MATCH_1}")
        list(APPEND "files_of_${CMAKE_MATCH_1}" "${name}")
    endforeach()
    list(REMOVE_DUPLICATES packages)
    list(SORT packages)
    foreach(package IN LISTS packages)
        set(copyright /usr/share/doc/${package}/copyright)
        if(NOT EXISTS ${copyright})
            message(FATAL_ERROR "notices: no notice for ${files_of_${package}}: "
                    "${package} has no ${copyright}")
        endif()
        list(REMOVE_DUPLICATES "files_of_${package}")
        list(SORT "files_of_${package}")
        list(JOIN "files_of_${package}" ", " files_text)
        file(READ ${copyright} copyright_text)
        string(APPEND text "${rule}\nCompiler and system runtime: ${files_text}\n"
               "From the Debian package ${package}, whose copyright file follows.\n\n"
               "${copyright_text}\n")
    endforeach()
endif()

file(WRITE ${OUTPUT} "${text}")
