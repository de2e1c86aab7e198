# Fetches libjpeg-turbo's source from Debian's source package once into ${DEPS}/libjpeg-src,
# for the Windows build and for the sanitized build of the JPEG fuzz target. Included,
# or run as cmake -DDEPS=dir -P fetch-libjpeg.cmake.
set(JPEG_SRC ${DEPS}/libjpeg-src)
if(NOT EXISTS ${JPEG_SRC}/CMakeLists.txt)
  file(MAKE_DIRECTORY ${DEPS}/download)
  execute_process(COMMAND apt-get source --download-only -qq libjpeg-turbo
                  WORKING_DIRECTORY ${DEPS}/download
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  file(GLOB orig ${DEPS}/download/libjpeg-turbo_*.orig.tar.gz)
  if(NOT rc EQUAL 0 OR NOT orig)
    string(STRIP "${err}${out}" said)
    message(FATAL_ERROR "apt-get source libjpeg-turbo failed (${rc}): ${said}\n"
                        "Is a deb-src entry configured? Run scripts/setup.")
  endif()
  list(GET orig 0 orig)
  file(REMOVE_RECURSE ${DEPS}/unpack)
  file(MAKE_DIRECTORY ${DEPS}/unpack)
  execute_process(COMMAND ${CMAKE_COMMAND} -E tar xzf ${orig} WORKING_DIRECTORY ${DEPS}/unpack
                  RESULT_VARIABLE rc)
  file(GLOB unpacked LIST_DIRECTORIES true ${DEPS}/unpack/libjpeg-turbo-*)
  if(NOT rc EQUAL 0 OR NOT unpacked)
    message(FATAL_ERROR "${orig} could not be unpacked.")
  endif()
  file(RENAME ${unpacked} ${JPEG_SRC})
  string(REGEX REPLACE ".*/libjpeg-turbo_(.*)\\.orig\\.tar\\.gz$" "\\1" version ${orig})
  message(STATUS "Fetched libjpeg-turbo ${version} from Debian's source package")
endif()
