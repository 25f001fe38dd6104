# Windows, 32-bit (the host's own architecture): see mingw-w64.cmake.
set(PCB28_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
