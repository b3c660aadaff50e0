# Lists the dynamic symbols that LIBRARY defines and fails unless they are exactly the six
# entry points of the library.
execute_process(COMMAND ${NM} -D --defined-only ${LIBRARY}
  OUTPUT_VARIABLE table RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "nm failed on ${LIBRARY}")
endif()
string(REGEX MATCHALL "[0-9a-f]+ [TDBRVW] [^\n]+" entries "${table}")
set(symbols)
foreach(entry IN LISTS entries)
  string(REGEX REPLACE "^[0-9a-f]+ [A-Za-z] ([^@\n]+).*" "\\1" name "${entry}")
  list(APPEND symbols ${name})
endforeach()
list(SORT symbols)
set(expected createTiffReader createTiffWriter destroyTiffReader destroyTiffWriter
  orvexVersionNum orvexVersionString)
if(NOT symbols STREQUAL expected)
  message(FATAL_ERROR "exported symbols: ${symbols}\nexpected: ${expected}")
endif()
message(STATUS "exports: ${symbols}")
