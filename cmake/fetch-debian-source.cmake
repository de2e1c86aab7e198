# fetch_debian_source(PACKAGE SOURCE_DIR): fetches PACKAGE's source from Debian's source
# package (apt-get source, which needs a deb-src entry) into ${DEPS} and unpacks it as
# SOURCE_DIR. The configure output names the version fetched; a fetch that fails stops
# the configure with apt-get's own words.
function(fetch_debian_source package source_dir)
  set(download ${DEPS}/download-${package})
  set(unpack ${DEPS}/unpack-${package})
  file(MAKE_DIRECTORY ${download})
  execute_process(COMMAND apt-get source --download-only -qq ${package}
                  WORKING_DIRECTORY ${download}
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  file(GLOB orig ${download}/${package}_*.orig.tar.gz)
  if(NOT rc EQUAL 0 OR NOT orig)
    string(STRIP "${err}${out}" said)
    message(FATAL_ERROR "apt-get source ${package} failed (${rc}): ${said}\n"
                        "Is a deb-src entry configured? Run scripts/setup.")
  endif()
  list(GET orig 0 orig)
  file(REMOVE_RECURSE ${unpack})
  file(MAKE_DIRECTORY ${unpack})
  execute_process(COMMAND ${CMAKE_COMMAND} -E tar xzf ${orig} WORKING_DIRECTORY ${unpack} RESULT_VARIABLE rc)
  file(GLOB unpacked LIST_DIRECTORIES true ${unpack}/${package}-*)
  if(NOT rc EQUAL 0 OR NOT unpacked)
    message(FATAL_ERROR "${orig} could not be unpacked.")
  endif()
  file(RENAME ${unpacked} ${source_dir})
  string(REGEX REPLACE ".*/${package}_(.*)\\.orig\\.tar\\.gz$" "\\1" version ${orig})
  message(STATUS "Fetched ${package} ${version} from Debian's source package")
endfunction()
