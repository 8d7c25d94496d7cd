# Layered includes: a target sees only the source folders it may depend on.
#
# Every target gets a private include root of its own holding links to the
# folders it is allowed to use, so `#include "framework/..."` from the renderer
# fails to compile instead of quietly creating an upward dependency.
#   host <- render, audio, net <- framework <- game
function(quorvane_layers target)
  set(root ${CMAKE_BINARY_DIR}/layers/${target})
  file(MAKE_DIRECTORY ${root})
  foreach(folder IN LISTS ARGN)
    if(NOT EXISTS ${root}/${folder})
      file(CREATE_LINK ${CMAKE_SOURCE_DIR}/src/${folder} ${root}/${folder} SYMBOLIC)
    endif()
  endforeach()
  target_include_directories(${target} PRIVATE ${root})
endfunction()

# quorvane_library(<name> <folder> LAYERS <folders it sees> LIBS <link libraries>
#                  [EXCLUDE <files of the folder built elsewhere>])
# A library made of every source file in its folder; an empty folder gives an
# interface library so the layer can exist before its code does.
function(quorvane_library name folder)
  cmake_parse_arguments(L "" "" "LAYERS;LIBS;EXCLUDE" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/${folder}/*.cpp
                                      ${CMAKE_SOURCE_DIR}/src/${folder}/*.c)
  foreach(file IN LISTS L_EXCLUDE)
    list(REMOVE_ITEM sources ${CMAKE_SOURCE_DIR}/src/${folder}/${file})
  endforeach()
  if(sources)
    add_library(${name} STATIC ${sources})
    target_link_libraries(${name} PUBLIC ${L_LIBS})
    quorvane_layers(${name} ${folder} ${L_LAYERS})
  else()
    add_library(${name} INTERFACE)
    target_link_libraries(${name} INTERFACE ${L_LIBS})
  endif()
endfunction()
