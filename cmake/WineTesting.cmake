# Tests of Windows programs under Wine.
#
#   add_wine_test(NAME <name> COMMAND <target-or-exe> [args...]
#                 [WINDOWED] [WORKING_DIRECTORY <dir>])
#
# Registers one CTest test that runs the program (a target name or a path) with its arguments
# through scripts/wine-run.sh. Every test runs in a prefix of its own under
# <build>/wine/prefixes/<name>, copied from one template prefix that the first test of each
# ctest run (the fixture wine_prefix) makes afresh; so each test also has its own wineserver.
# WINDOWED tests get an Xvfb of their own; the others run without a display. A test binary is
# registered whole: listing GoogleTest cases at build time would have to start Wine.
include_guard(GLOBAL)

# The include guard runs this file once, in whichever folder includes it first: everything
# that add_wine_test needs in other folders is worked out inside the function.
get_filename_component(quillon_wine_scripts ${CMAKE_CURRENT_LIST_DIR}/../scripts ABSOLUTE)
add_test(NAME wine_prefix_template
         COMMAND ${quillon_wine_scripts}/wine-template.sh ${CMAKE_BINARY_DIR}/wine/template)
# A cold wineboot under the 32-bit emulation takes about 20 s; leave room for a busy machine.
set_tests_properties(wine_prefix_template PROPERTIES FIXTURES_SETUP wine_prefix TIMEOUT 600)
# Safety net: no wineserver of this build may outlive the test run.
add_test(NAME wine_prefix_shutdown COMMAND ${quillon_wine_scripts}/wine-shutdown.sh ${CMAKE_BINARY_DIR}/wine)
set_tests_properties(wine_prefix_shutdown PROPERTIES FIXTURES_CLEANUP wine_prefix TIMEOUT 60)

function(add_wine_test)
  cmake_parse_arguments(PARSE_ARGV 0 WINE "WINDOWED" "NAME;WORKING_DIRECTORY" "COMMAND")
  if(NOT WINE_NAME OR NOT WINE_COMMAND)
    message(FATAL_ERROR "add_wine_test needs NAME and COMMAND")
  endif()
  list(POP_FRONT WINE_COMMAND program)
  if(TARGET ${program})
    set(program $<TARGET_FILE:${program}>)
  endif()
  get_filename_component(runner ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/../scripts/wine-run.sh
                         ABSOLUTE)
  set(wine_root ${CMAKE_BINARY_DIR}/wine)
  if(WINE_WINDOWED)
    list(APPEND runner --windowed)
  endif()
  if(NOT WINE_WORKING_DIRECTORY)
    set(WINE_WORKING_DIRECTORY ${wine_root}/work/${WINE_NAME})
    file(MAKE_DIRECTORY ${WINE_WORKING_DIRECTORY})
  endif()
  add_test(NAME ${WINE_NAME} COMMAND ${runner} ${program} ${WINE_COMMAND}
           WORKING_DIRECTORY ${WINE_WORKING_DIRECTORY})
  set_tests_properties(
    ${WINE_NAME}
    PROPERTIES FIXTURES_REQUIRED wine_prefix
               ENVIRONMENT
               "WINEPREFIX=${wine_root}/prefixes/${WINE_NAME};QUILLON_WINE_TEMPLATE=${wine_root}/template"
               # Wine may end a crashed program with status 0; its report gives it away.
               FAIL_REGULAR_EXPRESSION "wine: Unhandled"
               TIMEOUT 300)
endfunction()
