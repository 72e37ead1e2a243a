# GoogleTest for the Windows cross build: compiled from Debian's sources with the cross compiler,
# since the host's libraries are Linux ones. Each test program is one ctest test run under the
# cross-compiling emulator (Wine): discovery would start Wine once per test case.
set(BRELMONT_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources to cross-build")
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${BRELMONT_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

include(GoogleTest)

function(gtest_discover_tests target)
  cmake_parse_arguments(PARSE_ARGV 1 discover "NO_PRETTY_VALUES;NO_PRETTY_TYPES" "TEST_PREFIX" "")
  add_test(NAME ${discover_TEST_PREFIX}${target} COMMAND ${target})
endfunction()
