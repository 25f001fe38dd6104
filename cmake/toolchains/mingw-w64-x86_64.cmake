# Windows, 64-bit: see mingw-w64.cmake.
set(PCB28_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
