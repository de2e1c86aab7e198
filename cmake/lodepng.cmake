# lodepng's decoder as a static C library, the same in every tree: its source fetched
# from Debian's source package into the build folder, compiled as C with only the
# decoder (no encoder, no file access, no ancillary chunks, no C++ interface, no error
# texts). LODEPNG_DEFINITIONS carries those options for the fuzz target's own build.
set(DEPS ${CMAKE_BINARY_DIR}/_deps)
include(${CMAKE_CURRENT_LIST_DIR}/fetch-lodepng.cmake)
set(LODEPNG_DEFINITIONS LODEPNG_NO_COMPILE_ENCODER LODEPNG_NO_COMPILE_DISK LODEPNG_NO_COMPILE_ANCILLARY_CHUNKS
    LODEPNG_NO_COMPILE_CPP LODEPNG_NO_COMPILE_ERROR_TEXT)
configure_file(${LODEPNG_SRC}/lodepng.cpp ${DEPS}/lodepng-c/lodepng.c COPYONLY)
add_library(lodepng STATIC ${DEPS}/lodepng-c/lodepng.c)
target_compile_definitions(lodepng PUBLIC ${LODEPNG_DEFINITIONS})
target_include_directories(lodepng SYSTEM PUBLIC ${LODEPNG_SRC})
# Every share carries the executable: built for size, and without unwind tables, as
# nothing unwinds through C code. The same natively, so the benchmark measures what
# ships.
target_compile_options(lodepng PRIVATE -Os -fno-asynchronous-unwind-tables -fno-unwind-tables)
