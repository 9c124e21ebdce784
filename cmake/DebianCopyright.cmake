# Writes the package's copyright file, in Debian's machine-readable format, from LICENSE:
#   cmake -DLICENSE=LICENSE -DOUT=copyright -DPACKAGE=fdpreserve -P cmake/DebianCopyright.cmake
# Debian calls the MIT license "Expat" and keeps no copy of it in common-licenses, so its terms go
# into the file whole, and LICENSE stays the one place they are written.
foreach(argument LICENSE OUT PACKAGE)
  if(NOT DEFINED ${argument})
    message(FATAL_ERROR "usage: cmake -DLICENSE=LICENSE -DOUT=copyright -DPACKAGE=name "
                        "-P DebianCopyright.cmake")
  endif()
endforeach()

file(READ "${LICENSE}" text)
# Saying "Expat" of another license would misstate the terms of every copy of the package.
if(NOT text MATCHES "^MIT License\n+Copyright \\(c\\) ([^\n]+)\n+(.+)$")
  message(FATAL_ERROR "${LICENSE}: not the MIT license as this script knows it: a line \"MIT "
                      "License\", a line \"Copyright (c) YEARS HOLDERS\", then the terms")
endif()
set(holders "${CMAKE_MATCH_1}")
string(STRIP "${CMAKE_MATCH_2}" terms)
# In a field's text every line starts with a blank, and an empty line is written as a full stop.
string(REGEX REPLACE "\n\n+" "\n.\n" terms "${terms}")
string(REPLACE "\n" "\n " terms "${terms}")

file(WRITE "${OUT}" "\
Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: ${PACKAGE}

Files: *
Copyright: ${holders}
License: Expat
 ${terms}
")
