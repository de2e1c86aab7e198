# cmake -DSOURCE=top -P ui_floor.cmake
# The window layer stands on Windows and the C++ library alone: every file of ui/
# includes nothing of the program's own but other files of ui/.
file(GLOB files ${SOURCE}/ui/*.h ${SOURCE}/ui/*.cpp)
foreach(file ${files})
  file(STRINGS ${file} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
  foreach(line ${includes})
    if(NOT line MATCHES "\"ui/[^\"]+\"")
      message(SEND_ERROR "${file}: ${line}")
    endif()
  endforeach()
endforeach()
