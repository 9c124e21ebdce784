# fdpreserve_hardening: the hardening Debian builds its packages with, on Linux: fortified libc
# calls, stack canaries, and a global offset table made read-only once start-up has resolved it
# (relro, bindnow). Bindnow costs little here: with libstdc++ linked in statically, only libc's
# symbols are left to resolve. The sanitizer and fuzz builds do without it; they check more.
add_library(fdpreserve_hardening INTERFACE)
if(FDPRESERVE_HARDENING AND CMAKE_SYSTEM_NAME STREQUAL "Linux" AND NOT FDPRESERVE_SANITIZE
   AND NOT FDPRESERVE_FUZZ)
  # Fortification needs the optimizer, and a level given in CXXFLAGS (as dpkg-buildflags does) wins.
  if(NOT CMAKE_CXX_FLAGS MATCHES "_FORTIFY_SOURCE")
    target_compile_definitions(fdpreserve_hardening INTERFACE
                               $<$<NOT:$<CONFIG:Debug>>:_FORTIFY_SOURCE=2>)
  endif()
  target_compile_options(fdpreserve_hardening INTERFACE -fstack-protector-strong)
  target_link_options(fdpreserve_hardening INTERFACE LINKER:-z,relro LINKER:-z,now)
endif()
