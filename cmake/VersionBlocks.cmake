# The version blocks of QUILLON.dll and MARLIP.EXE are written out in their resource scripts,
# in the form Windows shows ("1, 0, 0, 1"); they must say the project's version. Checked at
# configure time, so a version raised in one place alone stops every build.
foreach(script library/quillon.rc harness/marlip.rc)
  if(NOT EXISTS ${PROJECT_SOURCE_DIR}/${script})
    continue()
  endif()
  file(READ ${PROJECT_SOURCE_DIR}/${script} text)
  string(REPLACE "." ";" parts ${PROJECT_VERSION})
  list(JOIN parts ", " shown)
  foreach(entry FILEVERSION PRODUCTVERSION "VALUE \"FileVersion\"" "VALUE \"ProductVersion\"")
    string(REGEX MATCH "${entry}[ ,]+\"?([0-9, ]+)" found "${text}")
    string(REGEX REPLACE "[ ,]+" "." said "${CMAKE_MATCH_1}")
    string(REGEX REPLACE "\\.$" "" said "${said}")
    if(NOT said STREQUAL PROJECT_VERSION)
      message(FATAL_ERROR "${script}: ${entry} says '${said}', the project version is "
                          "${PROJECT_VERSION} (write \"${shown}\")")
    endif()
  endforeach()
endforeach()
