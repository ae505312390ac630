# Cross-build of the shipped programs for 32-bit Windows with MinGW-w64. Pointex.exe and witz.exe
# start on Windows XP SP3: they are built with the win32 thread model, since winpthreads imports
# GetTickCount64, which XP's kernel32 lacks. GoogleTest's std::mutex needs the posix model, so
# their tests are a build of their own (toolchain-mingw-i686-tests.cmake).
set(CMAKE_SYSTEM_PROCESSOR i686)
set(POINTEX_MINGW_TARGET i686-w64-mingw32)
set(POINTEX_MINGW_THREADS win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-cross.cmake)
