# Cross-compiles for 32-bit Windows with MinGW-w64. The -posix variant is the one
# whose C++ library has std::thread and std::mutex (GoogleTest needs them).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(GOBU_MINGW_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
