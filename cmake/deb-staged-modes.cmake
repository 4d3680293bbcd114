# Run by cpack once the install is staged, before it packs the Debian
# package (CPACK_PRE_BUILD_SCRIPTS): the folders the install made got their
# mode through the caller's umask (CMake's mkdir does not set it past the
# umask), so a packager's umask 077 would give drwx------ folders in the
# package. They get 755, as dpkg-deb expects; the files' modes are the
# install rules' own.
file(GLOB_RECURSE entries LIST_DIRECTORIES true "${CPACK_TEMPORARY_DIRECTORY}/*")
foreach(entry IN LISTS entries)
    if(IS_DIRECTORY "${entry}" AND NOT IS_SYMLINK "${entry}")
        file(CHMOD "${entry}" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
             GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
    endif()
endforeach()
