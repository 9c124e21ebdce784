# fdexplain's two header-only libraries, from Debian's nlohmann-json3-dev and libcli11-dev, as the
# interface targets fdexplain_json and fdexplain_cli. A native build finds them as CMake packages.
# The cross build for Windows searches only the MinGW tree, where neither is, and must not put the
# host's /usr/include on its include path, where glibc's C headers would hide MinGW's: it gets a
# folder of its own in the build tree that links to these two header trees and nothing else.
add_library(fdexplain_json INTERFACE)
add_library(fdexplain_cli INTERFACE)
if(CMAKE_CROSSCOMPILING)
  find_path(FDPRESERVE_HOST_NLOHMANN_JSON nlohmann/json.hpp PATHS /usr/include
            NO_CMAKE_FIND_ROOT_PATH REQUIRED)
  find_path(FDPRESERVE_HOST_CLI11 CLI/CLI.hpp PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH REQUIRED)
  set(_fdpreserve_host_headers ${CMAKE_BINARY_DIR}/host-headers)
  file(MAKE_DIRECTORY ${_fdpreserve_host_headers})
  file(CREATE_LINK ${FDPRESERVE_HOST_NLOHMANN_JSON}/nlohmann ${_fdpreserve_host_headers}/nlohmann
       SYMBOLIC)
  file(CREATE_LINK ${FDPRESERVE_HOST_CLI11}/CLI ${_fdpreserve_host_headers}/CLI SYMBOLIC)
  target_include_directories(fdexplain_json SYSTEM INTERFACE ${_fdpreserve_host_headers})
  target_include_directories(fdexplain_cli SYSTEM INTERFACE ${_fdpreserve_host_headers})
else()
  find_package(nlohmann_json 3.10 REQUIRED)
  find_package(CLI11 2.1 REQUIRED)
  target_link_libraries(fdexplain_json INTERFACE nlohmann_json::nlohmann_json)
  target_link_libraries(fdexplain_cli INTERFACE CLI11::CLI11)
endif()
