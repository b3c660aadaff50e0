# Header-only libraries for the Windows cross-build, taken from Debian's -dev packages.
#
# orvex_debian_headers(<target> <folder>... [DEFINITIONS <definition>...]) makes the
# imported target <target> whose include path holds only the named folders of /usr/include,
# through links in the build folder: the rest of /usr/include belongs to the build machine
# and must not reach the MinGW compiler.
function(orvex_debian_headers target)
  if(TARGET ${target})
    return()
  endif()
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "DEFINITIONS")
  string(MAKE_C_IDENTIFIER ${target} leaf)
  set(headers ${PROJECT_BINARY_DIR}/mingw-include/${leaf})
  file(MAKE_DIRECTORY ${headers})
  foreach(folder IN LISTS arg_UNPARSED_ARGUMENTS)
    if(NOT IS_DIRECTORY /usr/include/${folder})
      message(FATAL_ERROR "/usr/include/${folder} is missing: install Debian's package for ${target}")
    endif()
    file(CREATE_LINK /usr/include/${folder} ${headers}/${folder} SYMBOLIC)
  endforeach()
  add_library(${target} INTERFACE IMPORTED)
  set_target_properties(${target} PROPERTIES
    INTERFACE_INCLUDE_DIRECTORIES ${headers}
    INTERFACE_COMPILE_DEFINITIONS "${arg_DEFINITIONS}")
endfunction()
