# Lists the symbols that LIBRARY exports and fails unless they are exactly the six entry
# points of the library. A Linux shared object is read with NM (-D: its dynamic symbol
# table); a Windows DLL (DLL true) with OBJDUMP (-p: its export table).
if(DLL)
  execute_process(COMMAND ${OBJDUMP} -p ${LIBRARY} OUTPUT_VARIABLE table RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "objdump failed on ${LIBRARY}")
  endif()
  string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table\n([\t ]+\\[ *[0-9]+\\] [^\n]+\n)*" names
    "${table}")
  string(REGEX MATCHALL "\\[ *[0-9]+\\] [^\n]+" entries "${names}")
  set(pattern "^\\[ *[0-9]+\\] (.+)$")
else()
  execute_process(COMMAND ${NM} -D --defined-only ${LIBRARY}
    OUTPUT_VARIABLE table RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "nm failed on ${LIBRARY}")
  endif()
  string(REGEX MATCHALL "[0-9a-f]+ [TDBRVW] [^\n]+" entries "${table}")
  set(pattern "^[0-9a-f]+ [A-Za-z] ([^@\n]+).*")
endif()
set(symbols)
foreach(entry IN LISTS entries)
  string(REGEX REPLACE "${pattern}" "\\1" name "${entry}")
  list(APPEND symbols ${name})
endforeach()
list(SORT symbols)
set(expected createTiffReader createTiffWriter destroyTiffReader destroyTiffWriter
  orvexVersionNum orvexVersionString)
if(NOT symbols STREQUAL expected)
  message(FATAL_ERROR "exported symbols: ${symbols}\nexpected: ${expected}")
endif()
message(STATUS "exports: ${symbols}")
