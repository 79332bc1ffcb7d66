# Cross build for x86_64 Windows with MinGW-w64: the same program as the
# shipped 32-bit one, built so that it runs under 64-bit Wine where 32-bit
# code cannot run.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TOOLCHAIN_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
