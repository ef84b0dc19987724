# The map of layers (layers.txt at the repository's root) drives the build: every
# target sees only the headers of its own folder and of the folders below it on the
# map, through a folder of links in the build tree, and a library links the targets of
# the folders just below it. An #include that runs against the map does not compile.

set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/layers.txt)
file(STRINGS ${CMAKE_SOURCE_DIR}/layers.txt tarne_map_lines)
foreach(line IN LISTS tarne_map_lines)
    string(REGEX REPLACE "#.*" "" line "${line}")
    string(STRIP "${line}" line)
    if(line STREQUAL "")
        continue()
    endif()
    string(FIND "${line}" ":" colon)
    string(SUBSTRING "${line}" 0 ${colon} folder)
    math(EXPR after "${colon} + 1")
    string(SUBSTRING "${line}" ${after} -1 lower)
    separate_arguments(lower)
    string(MAKE_C_IDENTIFIER "${folder}" key)
    set(TARNE_LAYER_${key} ${lower})
endforeach()
# Links made by an earlier configure may name folders the map no longer allows.
file(REMOVE_RECURSE ${CMAKE_BINARY_DIR}/views)

# The folders just below `folder` on the map.
function(tarne_layer_below folder out)
    string(MAKE_C_IDENTIFIER "${folder}" key)
    set(${out} ${TARNE_LAYER_${key}} PARENT_SCOPE)
endfunction()

# `folder` and every folder below it.
function(tarne_layer_closure folder out)
    set(result ${folder})
    set(queue ${folder})
    while(queue)
        list(POP_FRONT queue current)
        tarne_layer_below(${current} lower)
        foreach(next IN LISTS lower)
            if(NOT next IN_LIST result)
                list(APPEND result ${next})
                list(APPEND queue ${next})
            endif()
        endforeach()
    endwhile()
    set(${out} ${result} PARENT_SCOPE)
endfunction()

# The library target built from a folder: its last name (world/normalize: normalize),
# unless the folder's code is built into another target (tarne_folder_in_target).
function(tarne_layer_target folder out)
    string(MAKE_C_IDENTIFIER "${folder}" key)
    get_property(target GLOBAL PROPERTY TARNE_TARGET_${key})
    if(NOT target)
        get_filename_component(target ${folder} NAME)
    endif()
    set(${out} ${target} PARENT_SCOPE)
endfunction()

# Says that the code of `folder` is built into `target` (platform/sound: platform).
function(tarne_folder_in_target folder target)
    string(MAKE_C_IDENTIFIER "${folder}" key)
    set_property(GLOBAL PROPERTY TARNE_TARGET_${key} ${target})
endfunction()

# Gives `target` the headers of `folder` and of every folder below it, and nothing else.
function(tarne_include_view target folder)
    tarne_layer_closure(${folder} folders)
    set(view ${CMAKE_BINARY_DIR}/views/${target})
    foreach(each IN LISTS folders)
        file(MAKE_DIRECTORY ${view}/${each})
        file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${each}/*.h
             ${CMAKE_SOURCE_DIR}/${each}/*.inc)
        foreach(header IN LISTS headers)
            get_filename_component(name ${header} NAME)
            file(CREATE_LINK ${header} ${view}/${each}/${name} SYMBOLIC)
        endforeach()
    endforeach()
    target_include_directories(${target} PRIVATE ${view})
endfunction()

# Links `target` with the libraries of the folders just below `folder`.
function(tarne_link_layers target scope folder)
    tarne_layer_below(${folder} lower)
    foreach(each IN LISTS lower)
        tarne_layer_target(${each} library)
        target_link_libraries(${target} ${scope} ${library})
    endforeach()
endfunction()
