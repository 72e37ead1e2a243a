# Cross build for 64-bit Windows with Debian's MinGW-w64 (the posix thread model, which the C++
# standard library's threads need). The project links everything statically (CMakeLists.txt).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(BRELMONT_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${BRELMONT_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${BRELMONT_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${BRELMONT_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${BRELMONT_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Test programs run under Wine where one is installed; ctest then runs them like native ones.
find_program(BRELMONT_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(BRELMONT_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${BRELMONT_WINE})
endif()
