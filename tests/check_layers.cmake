# Fails when a file of a layer includes a header of a layer above it. The
# allowed folders follow the layer arrows of the design: each layer may
# include itself and the layers below it, nothing else of the project.
#   cmake -DSOURCE_DIR=... -P check_layers.cmake
cmake_minimum_required(VERSION 3.25)
set(allowed_recording recording)
set(allowed_display display recording)
set(allowed_session session display recording)
set(allowed_analysis analysis display recording)
set(allowed_qtdraw qtdraw display recording)
set(allowed_report report qtdraw analysis session display recording)
set(allowed_app app report qtdraw analysis session display recording)
set(allowed_cli cli report qtdraw analysis session display recording)
set(allowed_tools tools display recording)
set(project_folders recording display session analysis qtdraw report app cli tools tests fuzz bench)

set(violations "")
foreach(layer recording display session analysis qtdraw report app cli tools)
  file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR}
       ${SOURCE_DIR}/${layer}/*.h ${SOURCE_DIR}/${layer}/*.cpp)
  foreach(source IN LISTS sources)
    file(STRINGS ${SOURCE_DIR}/${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"/]+/")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"/]+)/.*" "\\1" folder "${line}")
      if(folder IN_LIST project_folders AND NOT folder IN_LIST allowed_${layer})
        string(APPEND violations "  ${source}: ${line}\n")
      endif()
    endforeach()
  endforeach()
endforeach()
if(violations)
  message(FATAL_ERROR "includes of a layer above:\n${violations}")
endif()
