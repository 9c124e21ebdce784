# bench/: the generator of the benchmark's inputs, which bench/run builds and drives, and the
# in-process reader benchmark when Google Benchmark is installed. Small, so it is on by default and
# the normal build keeps it compiling warning-free.
option(FDPRESERVE_BUILD_BENCH "Build the benchmark input generator and benchmarks" ON)
if(FDPRESERVE_BUILD_BENCH)
  add_subdirectory(bench)
endif()
