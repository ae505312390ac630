# A Windows program's resources: its .rc file with the shared identifiers, version and icons, and
# the manifest the .rc names. The 64-bit twin's build writes a copy of the manifest that names
# its own processor ("NAME-amd64.manifest" beside the build's files), which the .rc picks under
# _WIN64: a 64-bit process whose manifest claims x86 would not start, or would silently get the
# old common controls.
get_filename_component(POINTEX_RESOURCES ${CMAKE_CURRENT_LIST_DIR}/../resources ABSOLUTE)

function(pointex_add_resources target rc manifest)
    enable_language(RC)
    set(manifest ${POINTEX_RESOURCES}/${manifest})
    if(CMAKE_SIZEOF_VOID_P EQUAL 8)
        file(READ ${manifest} text)
        string(REGEX REPLACE "processorArchitecture=\"[xX]86\"" "processorArchitecture=\"amd64\""
            text "${text}")
        get_filename_component(name ${manifest} NAME_WE)
        set(copy ${CMAKE_CURRENT_BINARY_DIR}/${name}-amd64.manifest)
        file(CONFIGURE OUTPUT ${copy} CONTENT "${text}" @ONLY)
        set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${manifest})
        set(manifest ${copy})
    endif()
    target_sources(${target} PRIVATE ${POINTEX_RESOURCES}/${rc})
    target_include_directories(${target} PRIVATE ${POINTEX_RESOURCES} ${CMAKE_CURRENT_BINARY_DIR})
    # The resource compiler reports no dependencies of its own: without these an edited icon or
    # manifest would leave the old one in the executable.
    file(GLOB icons CONFIGURE_DEPENDS ${POINTEX_RESOURCES}/icons/*.ico)
    set_source_files_properties(${POINTEX_RESOURCES}/${rc} PROPERTIES OBJECT_DEPENDS
        "${manifest};${icons};${POINTEX_RESOURCES}/resource.h;${POINTEX_RESOURCES}/version.h")
endfunction()
