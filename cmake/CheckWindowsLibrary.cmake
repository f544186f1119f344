# Checks that a Windows DLL can be dropped into a host's folder on any Windows:
# it imports only from Windows' own DLLs (the MinGW runtime, libgcc, libstdc++
# and winpthread linked in), and it allows address-space randomisation
# (DYNAMIC_BASE) and refuses to execute data pages (NX_COMPAT).
# Run as: cmake -DLIBRARY=... -DOBJDUMP=... -P
cmake_minimum_required(VERSION 3.25)

execute_process(COMMAND ${OBJDUMP} -p ${LIBRARY} OUTPUT_VARIABLE headers RESULT_VARIABLE failed)
if(failed OR NOT headers MATCHES "DllCharacteristics")
  message(FATAL_ERROR "objdump cannot read the PE headers of ${LIBRARY}")
endif()

# DLLs every Windows version carries in its system folder. Another one may be
# added here only if it is part of Windows itself, never a compiler runtime.
set(system_dlls kernel32.dll user32.dll advapi32.dll msvcrt.dll ntdll.dll)

set(problems)
string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${headers}")
list(TRANSFORM imports REPLACE "^DLL Name: " "")
foreach(dll IN LISTS imports)
  string(TOLOWER "${dll}" lower)
  if(NOT lower IN_LIST system_dlls)
    list(APPEND problems "imports ${dll}, which is not one of Windows' own DLLs")
  endif()
endforeach()

string(REGEX MATCH "DllCharacteristics[ \t]+([0-9a-fA-F]+)" _ "${headers}")
set(characteristics "0x${CMAKE_MATCH_1}")
foreach(flag IN ITEMS "DYNAMIC_BASE;0x40" "NX_COMPAT;0x100")
  list(GET flag 0 name)
  list(GET flag 1 bit)
  math(EXPR set "${characteristics} & ${bit}")
  if(set EQUAL 0)
    list(APPEND problems "lacks ${name} in DllCharacteristics ${characteristics}")
  endif()
endforeach()

if(problems)
  list(JOIN problems "; " report)
  # Said once unwrapped (FATAL_ERROR wraps its text by the path's length),
  # so that a test can match it wherever the build lives.
  message(NOTICE "${LIBRARY}: ${report}")
  message(FATAL_ERROR "the Windows library check failed")
endif()
message(STATUS "${LIBRARY} imports only [${imports}] and carries DYNAMIC_BASE and NX_COMPAT")
