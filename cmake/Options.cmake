# Tests: CMake's standard BUILD_TESTING, and FDPRESERVE_BUILD_TESTS, the name this project used
# first and that existing command lines pass. Either one OFF turns the tests off, and then both read
# OFF, so a build without GoogleTest (the web page, Windows) never looks for it.
option(BUILD_TESTING "Build the unit and end-to-end tests" ON)
option(FDPRESERVE_BUILD_TESTS "Build the unit and end-to-end tests (the same as BUILD_TESTING)" ON)
if(NOT BUILD_TESTING OR NOT FDPRESERVE_BUILD_TESTS)
  set(BUILD_TESTING OFF)
  set(FDPRESERVE_BUILD_TESTS OFF)
endif()
option(FDPRESERVE_WARNINGS_AS_ERRORS "Turn compiler warnings into errors (CI does)" OFF)
option(FDPRESERVE_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(FDPRESERVE_FUZZ "Build the libFuzzer target in fuzz/ (clang only; implies the sanitizers)" OFF)
option(FDPRESERVE_HARDENING "Harden the build as Debian does its packages (Linux)" ON)
