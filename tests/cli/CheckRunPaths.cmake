# Reads the library search path (RUNPATH, RPATH) of every program and shared
# library of a build and fails on an empty or relative entry: the loader
# reads such an entry against the current folder, so a library placed there
# would be loaded. Entries are absolute or relative to $ORIGIN.
# Arguments: -DBUILD_DIR= -DREADELF=
cmake_minimum_required(VERSION 3.20)

file(GLOB_RECURSE candidates LIST_DIRECTORIES false ${BUILD_DIR}/*)
set(checked 0)
set(failures)
foreach(file ${candidates})
  if(file MATCHES "\\.(o|a|cmake|txt|json|pcb|ninja|log|h|cpp|c|d)$" OR IS_SYMLINK ${file})
    continue()
  endif()
  file(READ ${file} magic LIMIT 4 HEX)
  if(NOT magic STREQUAL "7f454c46")  # not an ELF file
    continue()
  endif()
  execute_process(COMMAND ${READELF} -d ${file} OUTPUT_VARIABLE dynamic ERROR_QUIET)
  if(NOT dynamic MATCHES "\\(DYNAMIC\\)|\\(NEEDED\\)")
    continue()  # an object or a static program
  endif()
  math(EXPR checked "${checked} + 1")
  string(REGEX MATCHALL "\\((RUNPATH|RPATH)\\)[^\n]*\\[[^]\n]*\\]" paths "${dynamic}")
  foreach(path ${paths})
    string(REGEX REPLACE ".*\\[([^]]*)\\]$" "\\1" value "${path}")
    # Keep empty entries as list items: ":" -> ";" with a marker in each.
    string(REPLACE ":" ";@" entries "@${value}")
    foreach(entry ${entries})
      string(REGEX REPLACE "^@" "" entry "${entry}")
      if(entry STREQUAL "" OR NOT entry MATCHES "^(/|\\$ORIGIN|\\$\\{ORIGIN\\})")
        list(APPEND failures "${file}: search path [${value}] has the entry '${entry}'")
      endif()
    endforeach()
  endforeach()
endforeach()
if(checked EQUAL 0)
  message(FATAL_ERROR "no program or shared library found in ${BUILD_DIR}")
endif()
if(failures)
  list(JOIN failures "\n" text)
  message(FATAL_ERROR "${text}")
endif()
message(STATUS "${checked} programs and libraries: every search path entry is absolute or $ORIGIN")
