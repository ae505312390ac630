# Cross-build of the 64-bit twin for machines that cannot execute 32-bit programs; its tests
# run under Wine's 64-bit loader, which Debian's wine wrapper does not pick while wine32 is there.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(POINTEX_MINGW_TARGET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-cross.cmake)

get_filename_component(POINTEX_WINE64 ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine64-bin/wine ABSOLUTE)
get_filename_component(POINTEX_WINE_TEST ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-test ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${POINTEX_WINE_TEST} ${POINTEX_WINE64})
