# Adds every direct subfolder of the current folder that has a CMakeLists.txt,
# so that an area (a test suite, a tool, a benchmark) joins the build by existing.
function(zorbalin_add_subfolders)
  file(GLOB entries LIST_DIRECTORIES true ${CMAKE_CURRENT_SOURCE_DIR}/*)
  foreach(entry IN LISTS entries)
    if(IS_DIRECTORY ${entry} AND EXISTS ${entry}/CMakeLists.txt)
      add_subdirectory(${entry})
    endif()
  endforeach()
endfunction()
