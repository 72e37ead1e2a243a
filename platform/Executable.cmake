# The one executable, beside a logs/ folder so that the session log works from the build tree.
add_executable(brelmont main.cpp)
set_target_properties(brelmont PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
target_link_libraries(brelmont PRIVATE brelmont_console brelmont_posix)
if(TARGET brelmont_qt)
  target_link_libraries(brelmont PRIVATE brelmont_qt)
  target_compile_definitions(brelmont PRIVATE BRELMONT_HAVE_QT)
endif()
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/logs)
