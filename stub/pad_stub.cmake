# cmake -DSTUB=program.exe -DOUT=sfxstub32.bin -DSIZE=n -DOBJCOPY=objcopy -P pad_stub.cmake
# Writes the stub program padded with zeros to exactly SIZE bytes. objcopy does the
# padding because a CMake script cannot write zero bytes.
file(SIZE ${STUB} size)
if(size GREATER SIZE)
  message(FATAL_ERROR "The extractor stub is ${size} bytes, more than the ${SIZE} bytes a gobu carries.")
endif()
execute_process(COMMAND ${OBJCOPY} -I binary -O binary --pad-to ${SIZE} --gap-fill 0 ${STUB} ${OUT}
                RESULT_VARIABLE rc)
file(SIZE ${OUT} padded)
if(NOT rc EQUAL 0 OR NOT padded EQUAL SIZE)
  file(REMOVE ${OUT})
  message(FATAL_ERROR "Padding the extractor stub to ${SIZE} bytes failed.")
endif()
