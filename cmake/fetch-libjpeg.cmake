# Fetches libjpeg-turbo's source from Debian's source package once into ${DEPS}/libjpeg-src,
# for the Windows build and for the sanitized build of the JPEG fuzz target. Included,
# or run as cmake -DDEPS=dir -P fetch-libjpeg.cmake.
include(${CMAKE_CURRENT_LIST_DIR}/fetch-debian-source.cmake)
set(JPEG_SRC ${DEPS}/libjpeg-src)
if(NOT EXISTS ${JPEG_SRC}/CMakeLists.txt)
  fetch_debian_source(libjpeg-turbo ${JPEG_SRC})
endif()
