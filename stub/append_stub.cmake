# cmake -DEXE=gobu.exe -DSTUB=sfxstub32.bin -P append_stub.cmake
# Appends the padded stub to the freshly linked executable, which then carries it as its
# last bytes. On failure the executable is removed, so the next build links it again
# instead of taking a gobu without its stub for up to date.
execute_process(COMMAND ${CMAKE_COMMAND} -E cat ${EXE} ${STUB} OUTPUT_FILE ${EXE}.tmp RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  file(REMOVE ${EXE} ${EXE}.tmp)
  message(FATAL_ERROR "Appending the extractor stub to ${EXE} failed.")
endif()
file(RENAME ${EXE}.tmp ${EXE})
