# The portable core (the joke library and the search behind the platform seam), the import
# pipeline over it, and the build settings they are made with, shared by the programs' build,
# the benchmark and the fuzz targets.
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
        set(system win32)
    else()
        set(system posix)
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
        ${POINTEX_ROOT}/library/platform_${system}.cpp
        ${POINTEX_ROOT}/library/files_${system}.cpp
        ${POINTEX_ROOT}/library/file_writer.cpp
        ${POINTEX_ROOT}/library/file_writer_${system}.cpp)
    target_include_directories(${name} PUBLIC ${POINTEX_ROOT} ${POINTEX_ROOT}/library)
endfunction()

# The import pipeline (a source's bytes to the lines of a joke file: encodings, record formats,
# editing rules, duplicate keys) as a static library under the given name, over the given core.
function(pointex_add_import name core)
    add_library(${name} STATIC
        ${POINTEX_ROOT}/import/encoding.cpp
        ${POINTEX_ROOT}/import/records.cpp
        ${POINTEX_ROOT}/import/editing.cpp
        ${POINTEX_ROOT}/import/convert.cpp
        ${POINTEX_ROOT}/import/duplicates.cpp)
    target_link_libraries(${name} PUBLIC ${core})
endfunction()
