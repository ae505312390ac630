# Cross-build of the shipped program for 32-bit Windows with MinGW-w64; tests run under Wine.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(POINTEX_MINGW_TARGET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-cross.cmake)

set(CMAKE_CROSSCOMPILING_EMULATOR wine)
