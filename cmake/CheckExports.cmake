# Checks that a module library exports exactly getModuleProperties and
# makeModule, undecorated. Run as: cmake -DLIBRARY=... -DNM=... -DOBJDUMP=... -P
cmake_minimum_required(VERSION 3.25)

execute_process(COMMAND ${OBJDUMP} -p ${LIBRARY} OUTPUT_VARIABLE headers RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "objdump cannot read ${LIBRARY}")
endif()
if(headers MATCHES "pei-i386|PE32")
  # The export name table of a PE DLL lists one "[ n] name" row per export and
  # ends at a blank line; the base relocations after it have "[rva] TYPE" rows.
  string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table\n(([^\n]+\n)*)" _ "${headers}")
  set(table "${CMAKE_MATCH_1}")
  # Brackets would group list elements: take the names out of the rows first.
  string(REGEX REPLACE "[ \t]*\\[ *[0-9]+\\] ([^\n]*)\n" "\\1;" rows "${table}")
  list(REMOVE_ITEM rows "")
else()
  execute_process(COMMAND ${NM} -D --defined-only ${LIBRARY} OUTPUT_VARIABLE symbols)
  string(REGEX MATCHALL "[0-9a-f]+ [A-Za-z] [^\n]+" lines "${symbols}")
  set(rows)
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "^[0-9a-f]+ [A-Za-z] " "" name "${line}")
    list(APPEND rows ${name})
  endforeach()
endif()
list(SORT rows)
if(NOT rows STREQUAL "getModuleProperties;makeModule")
  # Said once unwrapped (FATAL_ERROR wraps its text by the path's length),
  # so that a test can match it wherever the build lives.
  message(NOTICE "${LIBRARY} exports [${rows}], not exactly getModuleProperties and makeModule")
  message(FATAL_ERROR "the export check failed")
endif()
message(STATUS "${LIBRARY} exports exactly: ${rows}")
