# The version of Debian's nlohmann-json headers, from their version macros; a request is met
# by the same major version at or above the requested one.
file(GLOB_RECURSE _orvex_json_headers /usr/include/nlohmann/*.hpp)
set(_orvex_json_version)
foreach(_orvex_header IN LISTS _orvex_json_headers)
  file(STRINGS ${_orvex_header} _orvex_lines
    REGEX "#define NLOHMANN_JSON_VERSION_(MAJOR|MINOR|PATCH) [0-9]+")
  list(APPEND _orvex_json_version ${_orvex_lines})
endforeach()
set(_orvex_json_parts)
foreach(_orvex_part MAJOR MINOR PATCH)
  string(REGEX MATCH "VERSION_${_orvex_part} ([0-9]+)" _orvex_match "${_orvex_json_version}")
  list(APPEND _orvex_json_parts ${CMAKE_MATCH_1})
endforeach()
list(JOIN _orvex_json_parts "." PACKAGE_VERSION)
list(GET _orvex_json_parts 0 _orvex_json_major)

set(PACKAGE_VERSION_COMPATIBLE FALSE)
if(PACKAGE_VERSION VERSION_GREATER_EQUAL PACKAGE_FIND_VERSION
   AND _orvex_json_major EQUAL PACKAGE_FIND_VERSION_MAJOR)
  set(PACKAGE_VERSION_COMPATIBLE TRUE)
endif()
if(PACKAGE_VERSION VERSION_EQUAL PACKAGE_FIND_VERSION)
  set(PACKAGE_VERSION_EXACT TRUE)
endif()
