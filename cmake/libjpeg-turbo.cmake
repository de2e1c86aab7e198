# Builds libjpeg-turbo from Debian's source package as a static library for the
# Windows tree. The source is fetched once into the build folder and kept there.
# Building on Windows itself, the toolchain's own libjpeg (e.g. MSYS2's) is used.
if(CMAKE_HOST_WIN32)
  find_package(JPEG REQUIRED)
  add_library(jpeg_static INTERFACE)
  target_link_libraries(jpeg_static INTERFACE JPEG::JPEG)
  return()
endif()

include(ExternalProject)

set(JPEG_DEPS ${CMAKE_BINARY_DIR}/_deps)
set(JPEG_PREFIX ${JPEG_DEPS}/libjpeg-install)
set(DEPS ${JPEG_DEPS})
include(${CMAKE_CURRENT_LIST_DIR}/fetch-libjpeg.cmake)

ExternalProject_Add(libjpeg_build
  SOURCE_DIR ${JPEG_SRC}
  BINARY_DIR ${JPEG_DEPS}/libjpeg-build
  INSTALL_DIR ${JPEG_PREFIX}
  CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${CMAKE_TOOLCHAIN_FILE}
             # Built for size: it decodes each picture once, and every share carries
             # it. Its few sscanf/snprintf calls take the system's C library rather
             # than pulling MinGW's own printf and scanf into the executable. Its errors
             # return by longjmp, never by unwinding, so it carries no unwind tables.
             -DCMAKE_BUILD_TYPE=MinSizeRel
             "-DCMAKE_C_FLAGS=-D__USE_MINGW_ANSI_STDIO=0 -ffunction-sections -fdata-sections -fno-asynchronous-unwind-tables -fno-unwind-tables"
             -DCMAKE_INSTALL_PREFIX=${JPEG_PREFIX}
             -DWITH_SIMD=OFF -DENABLE_SHARED=OFF -DWITH_TURBOJPEG=OFF
             -DWITH_JAVA=OFF -DREQUIRE_SIMD=OFF
  BUILD_BYPRODUCTS ${JPEG_PREFIX}/lib/libjpeg.a
  LOG_CONFIGURE ON LOG_BUILD ON LOG_INSTALL ON)

file(MAKE_DIRECTORY ${JPEG_PREFIX}/include)
add_library(jpeg_static STATIC IMPORTED GLOBAL)
set_target_properties(jpeg_static PROPERTIES
  IMPORTED_LOCATION ${JPEG_PREFIX}/lib/libjpeg.a
  INTERFACE_INCLUDE_DIRECTORIES ${JPEG_PREFIX}/include)
add_dependencies(jpeg_static libjpeg_build)
