# Run by cpack after it made the Debian package (CPACK_POST_BUILD_SCRIPTS):
# CPack writes each member of the package's ar archive (debian-binary, the
# control and the data tarballs) with the mode its file got from the caller's
# umask. They are set to 100644, as dpkg-deb writes them, so that the package
# is the same whoever calls cpack. (perl is part of every Debian system.)
foreach(package IN LISTS CPACK_PACKAGE_FILES)
    if(NOT package MATCHES "\\.deb$")
        continue()
    endif()
    execute_process(
        COMMAND perl -e [[
            my $file = shift;
            open(my $ar, "+<:raw", $file) or die "cannot open $file: $!\n";
            my ($magic, $header, $at) = ("", "", 8);
            read($ar, $magic, 8) == 8 && $magic eq "!<arch>\n" or die "$file is no ar archive\n";
            while (read($ar, $header, 60) == 60) {
                substr($header, 58, 2) eq "`\n" or die "$file: broken member header at $at\n";
                my $size = substr($header, 48, 10) + 0;
                seek($ar, $at + 40, 0);
                print $ar "100644  ";
                $at += 60 + $size + ($size % 2);
                seek($ar, $at, 0);
            }
            close($ar) or die "cannot write $file: $!\n";
        ]] "${package}"
        RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "could not set the member modes of ${package}")
    endif()
endforeach()
