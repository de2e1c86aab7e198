# 64-bit Windows build of the same sources, used to run the Windows-side tests
# under a Wine that cannot execute 32-bit code on this machine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(GOBU_MINGW_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
