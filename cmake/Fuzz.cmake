# The fuzz build instruments the whole library for libFuzzer's coverage feedback; only the fuzz
# target itself links libFuzzer's main (fuzz/CMakeLists.txt).
if(FDPRESERVE_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "FDPRESERVE_FUZZ needs clang: use the fuzz preset or -DCMAKE_CXX_COMPILER=clang++")
  endif()
  target_compile_options(fdpreserve_sanitizers INTERFACE -fsanitize=fuzzer-no-link)
endif()
