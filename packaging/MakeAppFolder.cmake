# Makes the application folder from the built executables, the Info.plist and
# the generated icons. Built beside the old folder and then swapped in, so an
# interrupted build never leaves a half-made folder under the real name.
foreach(var APP_FOLDER INFO_PLIST DATA_DIR APP_EXECUTABLE CLI_EXECUTABLE)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "MakeAppFolder.cmake needs ${var}")
  endif()
endforeach()

set(staging "${APP_FOLDER}.partial")
file(REMOVE_RECURSE "${staging}")
file(MAKE_DIRECTORY "${staging}/Contents/MacOS" "${staging}/Contents/Resources")
file(COPY "${INFO_PLIST}" DESTINATION "${staging}/Contents")
file(COPY "${APP_EXECUTABLE}" "${CLI_EXECUTABLE}" DESTINATION "${staging}/Contents/MacOS")
file(COPY "${DATA_DIR}/icons" DESTINATION "${staging}/Contents/Resources")

if(STRIP)
  foreach(executable IN ITEMS "${APP_EXECUTABLE}" "${CLI_EXECUTABLE}")
    get_filename_component(name "${executable}" NAME)
    execute_process(COMMAND "${STRIP}" "${staging}/Contents/MacOS/${name}" RESULT_VARIABLE failed)
    if(failed)
      message(FATAL_ERROR "Could not strip ${name}")
    endif()
  endforeach()
endif()

file(REMOVE_RECURSE "${APP_FOLDER}")
file(RENAME "${staging}" "${APP_FOLDER}")
