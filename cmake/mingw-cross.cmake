# What the MinGW-w64 cross-builds share; each toolchain file sets the processor,
# POINTEX_MINGW_TARGET (the compilers' prefix) and POINTEX_MINGW_THREADS (their thread model), then
# includes this file.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${POINTEX_MINGW_TARGET}-gcc-${POINTEX_MINGW_THREADS})
set(CMAKE_CXX_COMPILER ${POINTEX_MINGW_TARGET}-g++-${POINTEX_MINGW_THREADS})
set(CMAKE_RC_COMPILER ${POINTEX_MINGW_TARGET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${POINTEX_MINGW_TARGET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Tests run through scripts/wine-test, which starts a program a second time when Wine ended it
# before it printed anything. The 64-bit ones run under Wine's 64-bit loader, which Debian's wine
# wrapper does not pick while wine32 is there.
get_filename_component(POINTEX_WINE_TEST ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-test ABSOLUTE)
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
    get_filename_component(POINTEX_WINE ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine64-bin/wine ABSOLUTE)
else()
    set(POINTEX_WINE wine)
endif()
set(CMAKE_CROSSCOMPILING_EMULATOR ${POINTEX_WINE_TEST} ${POINTEX_WINE})
