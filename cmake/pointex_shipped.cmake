# The Windows programs as they ship: without symbols and DWARF sections, which would nearly double
# their size. Each is linked into unstripped/ beside its place, where a debugger and the SSE2
# check of the disassembly find the function names, and stripped into its place from there.

# The place of the unstripped copy of the program at the given place.
function(pointex_unstripped variable program)
    get_filename_component(folder ${program} DIRECTORY)
    get_filename_component(name ${program} NAME)
    set(${variable} ${folder}/unstripped/${name} PARENT_SCOPE)
endfunction()

# Makes the executable target the program at the given place, stripped, and its unstripped copy.
function(pointex_ship target program)
    if(NOT CMAKE_STRIP)
        message(FATAL_ERROR "No strip tool found: ${target} ships without its debug sections")
    endif()
    pointex_unstripped(unstripped ${program})
    get_filename_component(folder ${unstripped} DIRECTORY)
    get_filename_component(name ${program} NAME_WE)
    set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${folder} OUTPUT_NAME ${name})
    add_custom_command(TARGET ${target} POST_BUILD
        COMMAND ${CMAKE_STRIP} --strip-all -o ${program} ${unstripped}
        BYPRODUCTS ${program}
        VERBATIM)
endfunction()
