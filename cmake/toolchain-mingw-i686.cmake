# Cross-build of the shipped program for 32-bit Windows with MinGW-w64; tests run under Wine.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(POINTEX_MINGW_TARGET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-cross.cmake)

# Pointex.exe and witz.exe start on Windows XP SP3: they are built with the win32 thread model,
# since winpthreads imports GetTickCount64, which XP's kernel32 lacks.
set(POINTEX_PROGRAM_THREADS win32)

# Tests run through scripts/wine-test, which starts a program a second time when Wine ended it
# before it printed anything.
get_filename_component(POINTEX_WINE_TEST ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-test ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${POINTEX_WINE_TEST} wine)
