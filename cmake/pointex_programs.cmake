# Pointex.exe and witz.exe made by a build of their own inside this one, for a toolchain that
# builds its programs with another thread model (POINTEX_PROGRAM_THREADS) than the posix one
# this build's tests need. That build writes them where this one would (POINTEX_PROGRAM,
# WITZ_PROGRAM), so the tests, the scripts and the packages all take the programs that ship;
# the targets Pointex and witz make them.
include(ExternalProject)
ExternalProject_Add(pointex_programs
    SOURCE_DIR ${PROJECT_SOURCE_DIR}
    BINARY_DIR ${CMAKE_BINARY_DIR}/programs-${POINTEX_PROGRAM_THREADS}
    # This build's flags, not those the environment holds when the inner build is configured
    # (a Debian build exports its ELF flags then).
    CONFIGURE_COMMAND ${CMAKE_COMMAND} -E env --unset=CFLAGS --unset=CXXFLAGS --unset=CPPFLAGS
        --unset=LDFLAGS
        ${CMAKE_COMMAND} -S <SOURCE_DIR> -B <BINARY_DIR> -G ${CMAKE_GENERATOR}
        -DCMAKE_MAKE_PROGRAM=${CMAKE_MAKE_PROGRAM}
        -DCMAKE_TOOLCHAIN_FILE=${CMAKE_TOOLCHAIN_FILE}
        -DPOINTEX_MINGW_THREADS=${POINTEX_PROGRAM_THREADS}
        -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE}
        -DCMAKE_C_FLAGS=${CMAKE_C_FLAGS}
        -DCMAKE_CXX_FLAGS=${CMAKE_CXX_FLAGS}
        -DCMAKE_EXE_LINKER_FLAGS=${CMAKE_EXE_LINKER_FLAGS}
        -DPOINTEX_TESTS=OFF
        -DPOINTEX_PROGRAM_DIR=${POINTEX_PROGRAM_DIR}
    BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR> --target Pointex witz
    INSTALL_COMMAND ""
    BUILD_ALWAYS ON
    BUILD_BYPRODUCTS ${POINTEX_PROGRAM} ${WITZ_PROGRAM})

add_custom_target(Pointex)
add_dependencies(Pointex pointex_programs)
add_custom_target(witz)
add_dependencies(witz pointex_programs)
