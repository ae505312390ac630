# Cross-build of the 64-bit twin for machines that cannot execute 32-bit programs: its programs
# and tests in one build, all with the posix thread model (the twin need not start on XP).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(POINTEX_MINGW_TARGET x86_64-w64-mingw32)
set(POINTEX_MINGW_THREADS posix)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-cross.cmake)
