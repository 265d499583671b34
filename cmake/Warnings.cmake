# Every target of the project compiles with the same strict warnings; a warning is an error.
function(lum1_warnings target)
  # GCC 12 reports false "maybe-uninitialized" warnings inside std::optional<QString>.
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Werror
    $<$<CXX_COMPILER_ID:GNU>:-Wno-maybe-uninitialized>)
endfunction()

# One static library per source folder, named lum1_<folder>.
function(lum1_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_DEPENDS})
  lum1_warnings(${name})
endfunction()
