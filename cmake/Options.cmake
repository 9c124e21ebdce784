option(FDPRESERVE_BUILD_TESTS "Build the unit and end-to-end tests" ON)
option(FDPRESERVE_WARNINGS_AS_ERRORS "Turn compiler warnings into errors (CI does)" OFF)
option(FDPRESERVE_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(FDPRESERVE_FUZZ "Build the libFuzzer target in fuzz/ (clang only; implies the sanitizers)" OFF)
