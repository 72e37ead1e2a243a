# Fails when a file of the core includes anything but the core itself, the interface headers and
# the C++ standard library: the core must build and run unchanged behind every front end, so no
# operating-system, Qt or implementation header may creep in.
#   cmake -DSOURCE_DIR=<repository> -P cmake/CheckCoreIncludes.cmake
cmake_minimum_required(VERSION 3.25)
set(core_folders support launchfile discovery app)
set(interfaces ArgumentText.h Dialogs.h FrontEnd.h MessageBoxes.h Services.h)
set(standard_headers
  algorithm any array atomic bit bitset cassert cctype cerrno cfloat charconv chrono cinttypes
  climits clocale cmath compare concepts cstddef cstdint cstdio cstdlib cstring ctime cwchar
  deque exception filesystem format functional initializer_list iomanip ios iosfwd iostream
  istream iterator limits list map memory new numeric optional ostream queue random ranges ratio
  set span sstream stdexcept string string_view system_error tuple type_traits typeinfo
  unordered_map unordered_set utility variant vector)

set(faults "")
foreach(folder IN LISTS core_folders)
  file(GLOB_RECURSE files "${SOURCE_DIR}/${folder}/*.h" "${SOURCE_DIR}/${folder}/*.cpp")
  foreach(file IN LISTS files)
    file(STRINGS "${file}" includes REGEX "^[ \t]*#[ \t]*include")
    foreach(line IN LISTS includes)
      if(line MATCHES "<([^>]+)>")
        set(name "${CMAKE_MATCH_1}")
        if(NOT name IN_LIST standard_headers)
          list(APPEND faults "${file}: ${line}")
        endif()
      elseif(line MATCHES "\"([^\"]+)\"")
        set(name "${CMAKE_MATCH_1}")
        string(REGEX MATCH "^[^/]+" top "${name}")
        get_filename_component(leaf "${name}" NAME)
        if(top STREQUAL "platform")
          if(NOT name STREQUAL "platform/${leaf}" OR NOT leaf IN_LIST interfaces)
            list(APPEND faults "${file}: ${line}")
          endif()
        elseif(NOT top IN_LIST core_folders)
          list(APPEND faults "${file}: ${line}")
        endif()
      endif()
    endforeach()
  endforeach()
endforeach()

if(faults)
  list(JOIN faults "\n  " listed)
  message(FATAL_ERROR "The core includes what it must not:\n  ${listed}")
endif()
message(STATUS "The core includes only itself, the interface headers and the standard library.")
