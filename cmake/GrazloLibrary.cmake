# grazlo_include_root(<target> <visibility> <folder>)
# Gives <target> an include root of its own holding only <folder> (a link to
# the current source folder), so `#include "<folder>/x.h"` resolves for the
# target and for what links it, and a header of a folder the target does not
# link is not found.
function(grazlo_include_root target visibility folder)
    set(root ${CMAKE_BINARY_DIR}/include/${target})
    get_filename_component(parent ${root}/${folder} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${root}/${folder} SYMBOLIC)
    target_include_directories(${target} ${visibility} ${root})
endfunction()

# grazlo_library(<target> [FOLDER <folder>] PATTERNS <glob patterns...> [LIBS <libs...>])
# Collects a folder's sources by pattern so new units need no build edits.
# The library exports its folder (by default the current folder's name) as
# its include root and links only LIBS. A library without sources yet is an
# INTERFACE target, so the layers above can already name it.
function(grazlo_library target)
    cmake_parse_arguments(ARG "" "FOLDER" "PATTERNS;LIBS" ${ARGN})
    if(NOT ARG_FOLDER)
        get_filename_component(ARG_FOLDER ${CMAKE_CURRENT_SOURCE_DIR} NAME)
    endif()
    set(sources "")
    foreach(pattern IN LISTS ARG_PATTERNS)
        file(GLOB found CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${pattern})
        list(APPEND sources ${found})
    endforeach()
    set(cpp_sources ${sources})
    list(FILTER cpp_sources INCLUDE REGEX "\\.cpp$")
    if(cpp_sources)
        add_library(${target} STATIC ${sources})
        target_link_libraries(${target} PUBLIC ${ARG_LIBS})
        grazlo_include_root(${target} PUBLIC ${ARG_FOLDER})
    else()
        add_library(${target} INTERFACE)
        target_link_libraries(${target} INTERFACE ${ARG_LIBS})
        grazlo_include_root(${target} INTERFACE ${ARG_FOLDER})
    endif()
endfunction()
