# Fetches lodepng's source from Debian's source package once into ${DEPS}/lodepng-src,
# for every tree that decodes PNG: the Windows build, the native tests and the PNG fuzz
# target. Included, or run as cmake -DDEPS=dir -P fetch-lodepng.cmake.
set(LODEPNG_SRC ${DEPS}/lodepng-src)
if(NOT EXISTS ${LODEPNG_SRC}/lodepng.cpp)
  file(MAKE_DIRECTORY ${DEPS}/download-lodepng)
  execute_process(COMMAND apt-get source --download-only -qq lodepng
                  WORKING_DIRECTORY ${DEPS}/download-lodepng
                  RESULT_VARIABLE rc OUTPUT_QUIET ERROR_QUIET)
  file(GLOB orig ${DEPS}/download-lodepng/lodepng_*.orig.tar.gz)
  if(NOT orig)
    message(FATAL_ERROR "apt-get source lodepng failed (is a deb-src entry configured? run scripts/setup)")
  endif()
  list(GET orig 0 orig)
  file(REMOVE_RECURSE ${DEPS}/unpack-lodepng)
  file(MAKE_DIRECTORY ${DEPS}/unpack-lodepng)
  execute_process(COMMAND ${CMAKE_COMMAND} -E tar xzf ${orig} WORKING_DIRECTORY ${DEPS}/unpack-lodepng)
  file(GLOB unpacked LIST_DIRECTORIES true ${DEPS}/unpack-lodepng/lodepng-*)
  file(RENAME ${unpacked} ${LODEPNG_SRC})
endif()
