# Fetches lodepng's source from Debian's source package once into ${DEPS}/lodepng-src,
# for every tree that decodes PNG: the Windows build, the native tests and the PNG fuzz
# target. Included, or run as cmake -DDEPS=dir -P fetch-lodepng.cmake.
include(${CMAKE_CURRENT_LIST_DIR}/fetch-debian-source.cmake)
set(LODEPNG_SRC ${DEPS}/lodepng-src)
if(NOT EXISTS ${LODEPNG_SRC}/lodepng.cpp)
  fetch_debian_source(lodepng ${LODEPNG_SRC})
endif()
