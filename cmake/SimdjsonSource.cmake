# simdjson compiled from its source, for builds where the build machine's
# library does not fit the target (the Windows cross builds). The source is
# Debian's simdjson source package, which scripts/setup-windows.sh unpacks
# into a cache folder outside the repository. Defines simdjson::simdjson,
# simdjson_FOUND and simdjson_VERSION, as find_package(simdjson) does.
include(${CMAKE_CURRENT_LIST_DIR}/CacheFolder.cmake)
set(PCB28_SIMDJSON_SOURCE_DIR ${PCB28_CACHE_FOLDER}/simdjson-src
    CACHE PATH "simdjson's source (an unpacked Debian source package)")
set(simdjson_version_header ${PCB28_SIMDJSON_SOURCE_DIR}/include/simdjson/simdjson_version.h)
if(NOT EXISTS ${PCB28_SIMDJSON_SOURCE_DIR}/src/simdjson.cpp OR NOT EXISTS ${simdjson_version_header})
  message(FATAL_ERROR
    "simdjson's source is missing: no src/simdjson.cpp in PCB28_SIMDJSON_SOURCE_DIR "
    "(${PCB28_SIMDJSON_SOURCE_DIR}). Run scripts/setup-windows.sh, which unpacks Debian's "
    "simdjson source into ${PCB28_CACHE_FOLDER}/simdjson-src, or point PCB28_SIMDJSON_SOURCE_DIR "
    "at an unpacked copy.")
endif()
file(STRINGS ${simdjson_version_header} simdjson_version_line
     REGEX "^#define SIMDJSON_VERSION [0-9.]+$")
string(REGEX REPLACE "^#define SIMDJSON_VERSION " "" simdjson_VERSION "${simdjson_version_line}")

add_library(pcb28_simdjson STATIC ${PCB28_SIMDJSON_SOURCE_DIR}/src/simdjson.cpp)
# Its headers are a system library's to the code that includes them.
target_include_directories(pcb28_simdjson SYSTEM PUBLIC ${PCB28_SIMDJSON_SOURCE_DIR}/include)
target_include_directories(pcb28_simdjson PRIVATE ${PCB28_SIMDJSON_SOURCE_DIR}/src)
add_library(simdjson::simdjson ALIAS pcb28_simdjson)
set(simdjson_FOUND TRUE)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  # simdjson's SIMD kernels are for 64-bit targets: a 32-bit build runs its
  # portable kernel, which simdjson would otherwise note in every file that
  # includes it.
  target_compile_definitions(pcb28_simdjson PUBLIC SIMDJSON_NO_PORTABILITY_WARNING)
endif()
