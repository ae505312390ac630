# What both MinGW-w64 cross-builds share; the toolchain files set POINTEX_MINGW_TARGET (the
# compilers' prefix) and the processor, then include this file.
set(CMAKE_SYSTEM_NAME Windows)

# The compilers' thread model: posix unless the build asks for win32. GoogleTest's std::mutex
# needs posix (winpthreads); a toolchain that names POINTEX_PROGRAM_THREADS builds its programs
# with that model in a build of their own (cmake/pointex_programs.cmake).
if(NOT POINTEX_MINGW_THREADS)
    set(POINTEX_MINGW_THREADS posix)
endif()
set(CMAKE_TRY_COMPILE_PLATFORM_VARIABLES POINTEX_MINGW_THREADS)
set(CMAKE_C_COMPILER ${POINTEX_MINGW_TARGET}-gcc-${POINTEX_MINGW_THREADS})
set(CMAKE_CXX_COMPILER ${POINTEX_MINGW_TARGET}-g++-${POINTEX_MINGW_THREADS})
set(CMAKE_RC_COMPILER ${POINTEX_MINGW_TARGET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${POINTEX_MINGW_TARGET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
