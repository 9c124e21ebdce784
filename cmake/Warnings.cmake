add_library(fdpreserve_warnings INTERFACE)
if(MSVC)
  target_compile_options(fdpreserve_warnings INTERFACE /W4 $<$<BOOL:${FDPRESERVE_WARNINGS_AS_ERRORS}>:/WX>)
else()
  target_compile_options(fdpreserve_warnings INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion
    $<$<BOOL:${FDPRESERVE_WARNINGS_AS_ERRORS}>:-Werror>)
endif()
