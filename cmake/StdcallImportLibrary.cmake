# Rewrites the import library of a 32-bit DLL whose stdcall functions are
# exported under their plain names (--kill-at). The linker's own import
# library gives them plain symbols too, so a caller, which asks for Name@N,
# cannot link. This one keeps Name@N as the symbol and imports Name.
# -DDEF=<.def the linker wrote> -DDLL=<DLL file name> -DLIB=<import library> -DDLLTOOL=<dlltool>
file(STRINGS ${DEF} lines)
set(out "LIBRARY ${DLL}\nEXPORTS\n")
foreach(line IN LISTS lines)
  if(line MATCHES "^(LIBRARY|EXPORTS)")
    continue()
  endif()
  # The linker writes "Name = Name@N @ordinal" for a stdcall export.
  string(REGEX REPLACE "^[ \t]*[^ \t]+ = ([^ \t]+@[0-9]+)" "    \\1" line "${line}")
  string(REGEX REPLACE "[ \t]+@[0-9]+" "" line "${line}")
  string(APPEND out "${line}\n")
endforeach()
file(WRITE ${DEF}.stdcall "${out}")
execute_process(COMMAND ${DLLTOOL} --kill-at -d ${DEF}.stdcall -D ${DLL} -l ${LIB}
                RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "dlltool could not write ${LIB}")
endif()
