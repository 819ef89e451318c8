# Shared build rules: every module is a static library compiled with the same
# warnings, and the sources of a module are the files in its folder, so adding
# a file never means editing a list.

option(QRV_WARNINGS_AS_ERRORS "Fail the build on any compiler warning (the CI presets)" OFF)
set(QRV_WARNING_FLAGS -Wall -Wextra -Wpedantic -Wno-missing-field-initializers
                      -Wshadow -Wnon-virtual-dtor -Wold-style-cast)
if(QRV_WARNINGS_AS_ERRORS)
  list(APPEND QRV_WARNING_FLAGS -Werror)
endif()

function(qrv_apply_warnings target)
  target_compile_options(${target} PRIVATE ${QRV_WARNING_FLAGS})
endfunction()

# The program's own code (not the tests) also says which strings are Latin-1
# or UTF-8: no implicit conversion from a char array to a QString.
function(qrv_apply_product_rules target)
  qrv_apply_warnings(${target})
  target_compile_definitions(${target} PRIVATE QT_NO_CAST_FROM_ASCII)
endfunction()

# With Ninja, CMake 3.25's moc step reruns only when an input it saw last time
# changes, so a header added to a globbed folder is never looked at: the glob
# reconfigures, but nothing tells the moc step (no AUTOGEN or CONFIGURE_DEPENDS
# option does). So, for every target with AUTOMOC whose file list changed since
# the last configure, drop its moc timestamp and the step runs again.
# Called once, at the end of the top-level CMakeLists.txt.
function(qrv_rerun_moc_when_file_lists_change)
  set(folders "${PROJECT_SOURCE_DIR}")
  while(folders)
    list(POP_FRONT folders folder)
    get_property(subfolders DIRECTORY "${folder}" PROPERTY SUBDIRECTORIES)
    list(APPEND folders ${subfolders})
    get_property(targets DIRECTORY "${folder}" PROPERTY BUILDSYSTEM_TARGETS)
    foreach(target IN LISTS targets)
      get_target_property(automoc ${target} AUTOMOC)
      if(NOT automoc)
        continue()
      endif()
      get_target_property(sources ${target} SOURCES)
      get_target_property(binary_dir ${target} BINARY_DIR)
      string(MD5 digest "${sources}")
      # Also when the list was never recorded: a build folder made before this rule.
      if(NOT "${QRV_AUTOGEN_INPUTS_${target}}" STREQUAL "${digest}")
        file(REMOVE "${binary_dir}/${target}_autogen/timestamp")
      endif()
      set(QRV_AUTOGEN_INPUTS_${target} "${digest}" CACHE INTERNAL "")
    endforeach()
  endwhile()
endfunction()

# qrv_add_module(<name> [DIRS <subfolders>...] [PUBLIC_LIBS <libs>...] [PRIVATE_LIBS <libs>...])
# Collects the .cpp/.h files of the current folder (and the given subfolders).
function(qrv_add_module name)
  cmake_parse_arguments(ARG "" "" "DIRS;PUBLIC_LIBS;PRIVATE_LIBS" ${ARGN})
  set(globs "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp" "${CMAKE_CURRENT_SOURCE_DIR}/*.h"
            "${CMAKE_CURRENT_SOURCE_DIR}/*.qrc")
  foreach(dir IN LISTS ARG_DIRS)
    list(APPEND globs "${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp" "${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.h"
                      "${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.qrc")
  endforeach()
  file(GLOB sources CONFIGURE_DEPENDS ${globs})
  if(NOT sources)
    # A module without code yet still exists as a target, so the link graph is complete.
    set(sources "${PROJECT_SOURCE_DIR}/cmake/empty.cpp")
  endif()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR} ${PROJECT_BINARY_DIR}/generated)
  target_link_libraries(${name} PUBLIC ${ARG_PUBLIC_LIBS} PRIVATE ${ARG_PRIVATE_LIBS})
  qrv_apply_product_rules(${name})
endfunction()
