# Checks that a built ELF module library carries the hardening a host process
# relies on: full RELRO (GNU_RELRO and BIND_NOW), a non-executable stack
# (GNU_STACK without E) and stack canaries (__stack_chk_fail imported). The
# Windows build's flags are CheckWindowsLibrary's.
# Run as: cmake -DLIBRARY=... -DREADELF=... -P
cmake_minimum_required(VERSION 3.25)

execute_process(COMMAND ${READELF} -d -l --dyn-syms -W ${LIBRARY}
  OUTPUT_VARIABLE headers RESULT_VARIABLE failed)
if(failed OR NOT headers MATCHES "Program Headers")
  message(FATAL_ERROR "readelf cannot read ${LIBRARY}")
endif()

set(problems)
if(NOT headers MATCHES "BIND_NOW|FLAGS_1[^\n]*NOW")
  list(APPEND problems "no BIND_NOW: relocations stay writable (link with -z now)")
endif()
if(NOT headers MATCHES "GNU_RELRO")
  list(APPEND problems "no GNU_RELRO segment (link with -z relro)")
endif()
string(REGEX MATCH "GNU_STACK[^\n]*" stack "${headers}")
if(NOT stack)
  list(APPEND problems "no GNU_STACK segment: the stack defaults to executable")
elseif(stack MATCHES " RWE ")
  list(APPEND problems "executable stack: ${stack}")
endif()
if(NOT headers MATCHES "__stack_chk_fail")
  list(APPEND problems "no __stack_chk_fail import: built without stack protection")
endif()

if(problems)
  list(JOIN problems "; " report)
  # Said once unwrapped (FATAL_ERROR wraps its text by the path's length),
  # so that a test can match it wherever the build lives.
  message(NOTICE "${LIBRARY} is not hardened: ${report}")
  message(FATAL_ERROR "the hardening check failed")
endif()
string(REGEX MATCHALL "__[a-z0-9_]+_chk" fortified "${headers}")
list(REMOVE_ITEM fortified __stack_chk)
list(REMOVE_DUPLICATES fortified)
message(STATUS "${LIBRARY} is hardened (fortified calls: ${fortified})")
