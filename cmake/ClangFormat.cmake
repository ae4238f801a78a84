# `cmake --build build --target format` rewrites every source file with .clang-format.
find_program(CLANG_FORMAT_EXE NAMES clang-format clang-format-14)
if(CLANG_FORMAT_EXE)
  file(GLOB_RECURSE _format_sources CONFIGURE_DEPENDS
       ${CMAKE_SOURCE_DIR}/platform/*.cpp ${CMAKE_SOURCE_DIR}/platform/*.h
       ${CMAKE_SOURCE_DIR}/engine/*.cpp ${CMAKE_SOURCE_DIR}/engine/*.h
       ${CMAKE_SOURCE_DIR}/comserver/*.cpp ${CMAKE_SOURCE_DIR}/comserver/*.h
       ${CMAKE_SOURCE_DIR}/workbench/*.cpp ${CMAKE_SOURCE_DIR}/workbench/*.h
       ${CMAKE_SOURCE_DIR}/tests/*.cpp ${CMAKE_SOURCE_DIR}/tests/*.h
       ${CMAKE_SOURCE_DIR}/bench/*.cpp ${CMAKE_SOURCE_DIR}/fuzz/*.cpp
       ${CMAKE_SOURCE_DIR}/examples/*.cpp ${CMAKE_SOURCE_DIR}/examples/*.h)
  add_custom_target(format COMMAND ${CLANG_FORMAT_EXE} -i ${_format_sources}
                    COMMENT "Formatting sources with clang-format")
  add_custom_target(format-check COMMAND ${CLANG_FORMAT_EXE} --dry-run -Werror ${_format_sources}
                    COMMENT "Checking source formatting")
endif()
