# cmake -DEXE=gobu.exe -DSTUB=sfxstub32.bin -DOBJCOPY=objcopy -P ship_exe.cmake
# Makes the freshly linked executable the one that ships: its symbols go to EXE.debug
# beside it (gdb finds them through the link the stripped file keeps), and the padded
# stub is appended, to be carried as its last bytes. On failure the executable is
# removed, so the next build links it again instead of taking a half-made gobu for up
# to date.
function(fail message)
  file(REMOVE ${EXE} ${EXE}.tmp)
  message(FATAL_ERROR "${message}")
endfunction()

execute_process(COMMAND ${OBJCOPY} --only-keep-debug ${EXE} ${EXE}.debug RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  fail("Keeping the symbols of ${EXE} failed.")
endif()
get_filename_component(debug_name ${EXE}.debug NAME)
get_filename_component(exe_dir ${EXE} DIRECTORY)
execute_process(COMMAND ${OBJCOPY} --strip-all --add-gnu-debuglink=${debug_name} ${EXE} ${EXE}.tmp
                WORKING_DIRECTORY ${exe_dir} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  fail("Stripping ${EXE} failed.")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E cat ${EXE}.tmp ${STUB} OUTPUT_FILE ${EXE} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  fail("Appending the extractor stub to ${EXE} failed.")
endif()
file(REMOVE ${EXE}.tmp)
