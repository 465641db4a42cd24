# The layer table (cmake/layers.txt): the library target of each folder and the folders it may
# use. Read by the configure step, which links each folder's library from it, and by the
# include-layer test (CheckLayers.cmake).

# scantora_read_layers(<table>): sets SCANTORA_LAYER_FOLDERS (bottom to top) and, for each folder
# F, SCANTORA_LAYER_TARGET_<F> ("-" when the folder builds no library of its own) and
# SCANTORA_LAYER_USES_<F> (the folders of its row; "*" for every folder).
macro(scantora_read_layers table)
    file(STRINGS ${table} _layer_rows REGEX "^[^#]")
    set(SCANTORA_LAYER_FOLDERS "")
    foreach(_row IN LISTS _layer_rows)
        string(REGEX MATCHALL "[^ \t]+" _fields "${_row}")
        list(POP_FRONT _fields _folder _target)
        if("${_fields}" STREQUAL "-")
            set(_fields "")
        endif()
        list(APPEND SCANTORA_LAYER_FOLDERS ${_folder})
        set(SCANTORA_LAYER_TARGET_${_folder} ${_target})
        set(SCANTORA_LAYER_USES_${_folder} ${_fields})
    endforeach()
endmacro()

# scantora_folder_library(<OBJECT|STATIC|INTERFACE> [sources...])
# Builds the current folder's library under its table name, linked to the libraries of the
# folders its row names (those built so far or later). pixdoc32's parts are object libraries
# with hidden symbols, gathered into the shared library and the static archive.
function(scantora_folder_library type)
    file(RELATIVE_PATH folder ${CMAKE_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
    set(target ${SCANTORA_LAYER_TARGET_${folder}})
    if(NOT target OR target STREQUAL "-")
        message(FATAL_ERROR "${folder}: no library target in cmake/layers.txt")
    endif()
    # Absolute paths, so that other folders can reuse the list (the scalar barcode tests).
    list(TRANSFORM ARGN PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/)
    add_library(${target} ${type} ${ARGN})
    set(scope PUBLIC)
    if(type STREQUAL "INTERFACE")
        set(scope INTERFACE)
    endif()
    foreach(used IN LISTS SCANTORA_LAYER_USES_${folder})
        set(used_target ${SCANTORA_LAYER_TARGET_${used}})
        if(NOT used_target STREQUAL "-")
            target_link_libraries(${target} ${scope} $<TARGET_NAME_IF_EXISTS:${used_target}>)
        endif()
    endforeach()
    if(folder MATCHES "^imaging/" AND type STREQUAL "OBJECT")
        set_target_properties(${target} PROPERTIES C_VISIBILITY_PRESET hidden
                                                   CXX_VISIBILITY_PRESET hidden
                                                   VISIBILITY_INLINES_HIDDEN ON)
        target_compile_definitions(${target} PRIVATE PIXDOC32_BUILDING)
        set_property(GLOBAL APPEND PROPERTY SCANTORA_PIXDOC32_PARTS ${target})
    endif()
endfunction()
