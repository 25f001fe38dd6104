# Reads the export and import tables of the built Windows DLLs and program
# (with the target's objdump, so it runs on the build machine, no Wine):
#  - the plug-in exports exactly the functions that contract/PluginExports.h
#    declares, under their plain names;
#  - the server exports every entry point that contract/PcbApi.h declares,
#    under its plain name, and no name with a stdcall decoration ("@N");
#  - each imports system DLLs only (the runtimes are linked in);
#  - the 32-bit program is large-address-aware.
# Arguments: -DOBJDUMP= -DCONTRACT= (folder) -DPLUGIN= -DSERVER= -DPROGRAM=
cmake_minimum_required(VERSION 3.20)

function(declared_names header out)
  file(READ ${CONTRACT}/${header} text)
  string(REGEX MATCHALL "PCBAPI_CALL[ \t\r\n]+[A-Za-z0-9_]+\\(" calls "${text}")
  set(names)
  foreach(call ${calls})
    string(REGEX REPLACE "PCBAPI_CALL[ \t\r\n]+([A-Za-z0-9_]+)\\(" "\\1" name "${call}")
    list(APPEND names ${name})
  endforeach()
  list(SORT names)
  set(${out} ${names} PARENT_SCOPE)
endfunction()

# objdump -p of one file: its exported names and imported DLLs.
function(read_tables file exports imports)
  execute_process(COMMAND ${OBJDUMP} -p ${file} OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "${OBJDUMP} -p ${file} failed")
  endif()
  string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table\n([^\n]+\n)*" table "${dump}")
  string(REGEX MATCHALL "\t\\[ *[0-9]+\\] [^\t\n]+" rows "${table}")
  set(names)
  foreach(row ${rows})
    string(REGEX REPLACE "^\t\\[ *[0-9]+\\] " "" name "${row}")
    list(APPEND names "${name}")
  endforeach()
  list(SORT names)
  string(REGEX MATCHALL "DLL Name: [^\n]+" dlls "${dump}")
  list(TRANSFORM dlls REPLACE "DLL Name: " "")
  set(${exports} "${names}" PARENT_SCOPE)
  set(${imports} "${dlls}" PARENT_SCOPE)
endfunction()

set(failures)
macro(fail message)
  list(APPEND failures "${message}")
endmacro()

# Runtime DLLs of the compiler would have to be shipped beside the plug-in.
function(check_imports file imports)
  foreach(dll ${imports})
    if(dll MATCHES "^lib")
      set(failures ${failures} "${file} imports ${dll}, not a DLL of Windows" PARENT_SCOPE)
    endif()
  endforeach()
endfunction()

declared_names(PluginExports.h plugin_declared)
declared_names(PcbApi.h server_declared)
list(LENGTH plugin_declared plugin_count)
list(LENGTH server_declared server_count)
if(NOT plugin_count EQUAL 3 OR server_count LESS 74)
  message(FATAL_ERROR "read ${plugin_count} plug-in and ${server_count} server names from the contract")
endif()

read_tables(${PLUGIN} plugin_exports plugin_imports)
if(NOT plugin_exports STREQUAL plugin_declared)
  fail("${PLUGIN} exports [${plugin_exports}], expected exactly [${plugin_declared}]")
endif()
check_imports(${PLUGIN} "${plugin_imports}")

read_tables(${SERVER} server_exports server_imports)
foreach(name ${server_declared})
  if(NOT name IN_LIST server_exports)
    fail("${SERVER} does not export ${name} under its plain name")
  endif()
endforeach()
foreach(name ${server_exports})
  if(name MATCHES "@")
    fail("${SERVER} exports a decorated name: ${name}")
  endif()
endforeach()
check_imports(${SERVER} "${server_imports}")

read_tables(${PROGRAM} program_exports program_imports)
check_imports(${PROGRAM} "${program_imports}")
# A 32-bit program may use the whole 4 GiB a 64-bit Windows gives it, not
# only the lower 2 GiB: a large board needs the room.
execute_process(COMMAND ${OBJDUMP} -p ${PROGRAM} OUTPUT_VARIABLE program_dump)
if(program_dump MATCHES "Magic[ \t]+010b" AND NOT program_dump MATCHES "large address aware")
  fail("${PROGRAM} is a 32-bit program that is not large-address-aware")
endif()

if(failures)
  list(JOIN failures "\n  " text)
  message(FATAL_ERROR "export or import tables wrong:\n  ${text}")
endif()
message(STATUS "${PLUGIN}: exports ${plugin_exports}; imports ${plugin_imports}")
message(STATUS "${SERVER}: ${server_count} entry points exported undecorated; imports ${server_imports}")
