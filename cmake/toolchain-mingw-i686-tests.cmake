# Cross-build of the 32-bit tests with MinGW-w64's posix thread model, whose winpthreads gives
# GoogleTest its std::mutex; they run under Wine and check the programs of the shipped build
# (toolchain-mingw-i686.cmake), which POINTEX_PROGRAMS_FROM names.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(POINTEX_MINGW_TARGET i686-w64-mingw32)
set(POINTEX_MINGW_THREADS posix)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-cross.cmake)
