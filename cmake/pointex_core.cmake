# The portable core (the joke library and the search behind the platform seam) and the build
# settings it is made with, shared by the program's build, the benchmark and the fuzz targets.
get_filename_component(POINTEX_ROOT ${CMAKE_CURRENT_LIST_DIR}/.. ABSOLUTE)

# C++17 without extensions, warnings on, and the given build type unless one was chosen.
macro(pointex_build_settings default_build_type)
    set(CMAKE_CXX_STANDARD 17)
    set(CMAKE_CXX_STANDARD_REQUIRED ON)
    set(CMAKE_CXX_EXTENSIONS OFF)
    if(NOT CMAKE_BUILD_TYPE)
        set(CMAKE_BUILD_TYPE ${default_build_type})
    endif()
    add_compile_options(-Wall -Wextra)
endmacro()

# A static library of the core under the given name, with this system's side of the seam.
function(pointex_add_core name)
    if(WIN32)
        set(platform_source ${POINTEX_ROOT}/library/platform_win32.cpp)
    else()
        set(platform_source ${POINTEX_ROOT}/library/platform_posix.cpp)
    endif()
    # No flag for the processor: the byte loops choose their SSE2 form at run time
    # (byte_scan_sse2.cpp), so the 32-bit build runs on any x86 processor.
    add_library(${name} STATIC
        ${POINTEX_ROOT}/library/byte_scan.cpp
        ${POINTEX_ROOT}/library/byte_scan_sse2.cpp
        ${POINTEX_ROOT}/library/joke_reader.cpp
        ${POINTEX_ROOT}/library/utf8.cpp
        ${POINTEX_ROOT}/library/file_names.cpp
        ${POINTEX_ROOT}/library/joke_library.cpp
        ${POINTEX_ROOT}/library/text_mode.cpp
        ${POINTEX_ROOT}/search/search.cpp
        ${platform_source})
    target_include_directories(${name} PUBLIC ${POINTEX_ROOT} ${POINTEX_ROOT}/library)
endfunction()
