# What both MinGW-w64 cross-builds share; the toolchain files set POINTEX_MINGW_TARGET (the
# compilers' prefix) and the processor, then include this file.
set(CMAKE_SYSTEM_NAME Windows)

# The posix thread model is needed for GoogleTest's std::mutex.
set(CMAKE_C_COMPILER ${POINTEX_MINGW_TARGET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${POINTEX_MINGW_TARGET}-g++-posix)
set(CMAKE_RC_COMPILER ${POINTEX_MINGW_TARGET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${POINTEX_MINGW_TARGET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
