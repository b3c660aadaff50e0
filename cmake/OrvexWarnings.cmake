# One place for the warning flags every target of the project uses.
add_library(orvex_warnings INTERFACE)
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  target_compile_options(orvex_warnings INTERFACE -Wall -Wextra -Wshadow)
endif()
