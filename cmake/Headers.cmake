# Headers are included by the name of their folder: "game/board.h", "toolkit/form.h",
# "backend/sdl/sdl_backend.h" ("platform/" is left out). There is no include folder for the
# whole tree: every library publishes its own folder, and a target sees the headers of the
# libraries it links and no others, so that an include across the layers upwards (a game file
# including an app header, say) fails to compile.
#
# zorbalin_publish_headers(<target>) publishes the folder of the calling CMakeLists.txt through
# a link in the build tree, <build>/include/<folder>/<name> -> <source>/<folder>, and gives the
# target that include folder; whoever links the target sees it too.
function(zorbalin_publish_headers target)
  file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  string(REGEX REPLACE "^platform/" "" name ${folder})
  set(root ${PROJECT_BINARY_DIR}/include/${folder})
  get_filename_component(parent ${root}/${name} DIRECTORY)
  file(MAKE_DIRECTORY ${parent})
  file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${root}/${name} SYMBOLIC)

  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE ${root})
  else()
    target_include_directories(${target} PUBLIC ${root})
  endif()
endfunction()
