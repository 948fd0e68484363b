# zund_add_library(<folder> [DEPENDS libs...])
# One static library per source folder; its sources are the folder's files,
# sub-folders (grouped by concern) included.
function(zund_add_library folder)
    cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS
        "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp"
        "${CMAKE_CURRENT_SOURCE_DIR}/*.h")
    if(NOT sources)
        return() # the folder has no code yet
    endif()
    set(target zund_${folder})
    add_library(${target} STATIC ${sources})
    target_include_directories(${target} PUBLIC "${PROJECT_SOURCE_DIR}/src")
    target_link_libraries(${target} PUBLIC zund_juce ${ARG_DEPENDS})
    zund_use_pch(${target})
endfunction()
