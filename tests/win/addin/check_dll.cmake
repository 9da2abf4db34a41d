# cmake -DOBJDUMP=... -DDLL=Pellwyn.dll -P check_dll.cmake
# Fails unless the DLL exports exactly the four entry points of an in-process COM server,
# undecorated, and imports no MinGW runtime DLL.
execute_process(COMMAND ${OBJDUMP} -p ${DLL} OUTPUT_VARIABLE dump RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} cannot read ${DLL}")
endif()

# The name table's rows read "\t[   0] DllCanUnloadNow"; other tables have more columns.
string(REPLACE ";" "," dump_lines "${dump}")
string(REPLACE "\n" ";" dump_lines "${dump_lines}")
set(exports "")
foreach(line IN LISTS dump_lines)
  if(line MATCHES "^\t\\[ *[0-9]+\\] ([^ ]+)$")
    list(APPEND exports "${CMAKE_MATCH_1}")
  endif()
endforeach()
list(SORT exports)
set(expected DllCanUnloadNow DllGetClassObject DllRegisterServer DllUnregisterServer)
if(NOT exports STREQUAL expected)
  message(FATAL_ERROR "exports: '${exports}', expected '${expected}'")
endif()

string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${dump}")
foreach(import IN LISTS imports)
  string(TOLOWER "${import}" lower)
  if(lower MATCHES "lib(gcc|stdc|winpthread|ssp|atomic|quadmath|gomp)|mingw")
    message(FATAL_ERROR "imports a MinGW runtime DLL: ${import}")
  endif()
endforeach()
list(LENGTH imports count)
message(STATUS "${DLL}: exports ${exports}; ${count} system DLLs imported")
