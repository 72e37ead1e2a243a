# Installs the build into a scratch prefix and checks that the tree is laid out as the program
# finds its parts: the program, an empty logs/ folder beside it, and the Qt front end's module
# where the program looks for it (MODULE_DIR, relative to the program's folder; empty: no module).
#   cmake -DBUILD_DIR=<build> -DPREFIX=<scratch> -DBINDIR=bin -DMODULE_DIR=../lib/brelmont
#         -P CheckInstall.cmake
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()
set(bin "${PREFIX}/${BINDIR}")
if(NOT EXISTS "${bin}/brelmont" OR IS_DIRECTORY "${bin}/brelmont")
  message(FATAL_ERROR "no program at ${bin}/brelmont")
endif()
file(GLOB logs LIST_DIRECTORIES true "${bin}/logs/*")
if(NOT IS_DIRECTORY "${bin}/logs" OR logs)
  message(FATAL_ERROR "no empty logs folder at ${bin}/logs")
endif()
if(MODULE_DIR AND NOT EXISTS "${bin}/${MODULE_DIR}/brelmont-qt.so")
  message(FATAL_ERROR "no module at ${bin}/${MODULE_DIR}/brelmont-qt.so")
endif()
file(REMOVE_RECURSE "${PREFIX}")
