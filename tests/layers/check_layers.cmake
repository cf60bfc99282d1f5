# Fails when a source file includes from a folder at or above its own layer (the layer order
# of DESIGN.md: host/system, base, res, host/window + host/gpu + host/audio, platform, art,
# ui and field, the shell's progress, the rest of the shell, app). Run as: cmake -DROOT=<tree> -P check_layers.cmake
# A folder may include its own files and those of every lower layer; folders of one layer do
# not include each other.

if(NOT ROOT)
    message(FATAL_ERROR "ROOT names the tree to check")
endif()

# folder, layer; a file belongs to the longest folder its path starts with.
set(layers
    engine/host/system 0
    engine/base 1
    engine/res 2
    engine/host/window 3
    engine/host/gpu 3
    engine/host/audio 3
    engine/platform 4
    engine/art 5
    engine/ui 6
    game/field 6
    game/shell/progress 7
    game/shell 8
    app 9)

# Sets <out_folder> and <out_layer> for a path relative to the tree; empty when unlayered.
function(layer_of path out_folder out_layer)
    set(best_folder "")
    set(best_layer "")
    set(rest ${layers})
    while(rest)
        list(POP_FRONT rest folder layer)
        string(LENGTH "${folder}" length)
        string(LENGTH "${best_folder}" best_length)
        if(path MATCHES "^${folder}/" AND length GREATER best_length)
            set(best_folder ${folder})
            set(best_layer ${layer})
        endif()
    endwhile()
    set(${out_folder} "${best_folder}" PARENT_SCOPE)
    set(${out_layer} "${best_layer}" PARENT_SCOPE)
endfunction()

file(GLOB_RECURSE sources RELATIVE "${ROOT}"
     "${ROOT}/engine/*.h" "${ROOT}/engine/*.cpp"
     "${ROOT}/game/*.h" "${ROOT}/game/*.cpp"
     "${ROOT}/app/*.h" "${ROOT}/app/*.cpp")
set(checked 0)
set(faults 0)
foreach(source ${sources})
    layer_of("${source}" folder layer)
    if(folder STREQUAL "")
        continue()
    endif()
    math(EXPR checked "${checked} + 1")
    file(STRINGS "${ROOT}/${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line ${includes})
        string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]*)\".*" "\\1" target "${line}")
        layer_of("${target}" target_folder target_layer)
        if(target_folder STREQUAL "" OR target_folder STREQUAL folder)
            continue()
        endif()
        if(NOT target_layer LESS layer)
            message("${source}: includes ${target}: ${target_folder} (layer ${target_layer}) is not below ${folder} (layer ${layer})")
            math(EXPR faults "${faults} + 1")
        endif()
    endforeach()
endforeach()

if(checked EQUAL 0)
    message(FATAL_ERROR "no source file found under ${ROOT}")
endif()
if(faults GREATER 0)
    message(FATAL_ERROR "${faults} include(s) run upward or sideways in the layer order")
endif()
message("${checked} files include only from lower layers")
