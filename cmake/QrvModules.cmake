# Shared build rules: every module is a static library compiled with the same
# warnings, and the sources of a module are the files in its folder, so adding
# a file never means editing a list.

set(QRV_WARNING_FLAGS -Wall -Wextra -Wpedantic -Wno-missing-field-initializers)

function(qrv_apply_warnings target)
  target_compile_options(${target} PRIVATE ${QRV_WARNING_FLAGS})
endfunction()

# With Ninja, the moc step reruns only when an input it saw last time changes,
# so a header added to a globbed folder would never be looked at (the glob
# reconfigures, but nothing tells the moc step). When a target's file list
# changes, drop its moc timestamp so the step runs again.
function(qrv_track_autogen_inputs target)
  string(MD5 digest "${ARGN}")
  # Also when the list was never recorded: a build folder made before this rule.
  if(NOT "${QRV_AUTOGEN_INPUTS_${target}}" STREQUAL "${digest}")
    file(REMOVE "${CMAKE_CURRENT_BINARY_DIR}/${target}_autogen/timestamp")
  endif()
  set(QRV_AUTOGEN_INPUTS_${target} "${digest}" CACHE INTERNAL "")
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
  qrv_track_autogen_inputs(${name} ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR} ${PROJECT_BINARY_DIR}/generated)
  target_link_libraries(${name} PUBLIC ${ARG_PUBLIC_LIBS} PRIVATE ${ARG_PRIVATE_LIBS})
  qrv_apply_warnings(${name})
endfunction()
