# Cross build for Windows with Debian's mingw-w64 (the -posix compilers, for
# std::thread and friends). Included by the per-architecture files, which set
# PCB28_MINGW_TRIPLE first.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${PCB28_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PCB28_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${PCB28_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${PCB28_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The C and C++ runtimes and winpthreads are linked in, so every program and
# DLL imports nothing but DLLs of Windows itself.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")

# Test programs run under Wine, quietly and without a display.
if(PCB28_MINGW_TRIPLE MATCHES "^x86_64")
  set(PCB28_WINE_ARCH win64)
else()
  set(PCB28_WINE_ARCH win32)
endif()
set(CMAKE_CROSSCOMPILING_EMULATOR
    ${CMAKE_CURRENT_LIST_DIR}/../wine-run.sh ${PCB28_WINE_ARCH} ${CMAKE_BINARY_DIR}/wineprefix)
