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

set(QUILLON_WINE_ROOT ${CMAKE_BINARY_DIR}/wine)
set(QUILLON_WINE_TEMPLATE ${QUILLON_WINE_ROOT}/template)
set(QUILLON_WINE_RUN ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)
get_filename_component(QUILLON_WINE_RUN ${QUILLON_WINE_RUN} ABSOLUTE)
get_filename_component(QUILLON_WINE_SCRIPTS ${QUILLON_WINE_RUN} DIRECTORY)

if(NOT TEST wine_prefix_template)
  add_test(NAME wine_prefix_template
           COMMAND ${QUILLON_WINE_SCRIPTS}/wine-template.sh ${QUILLON_WINE_TEMPLATE})
  # A cold wineboot under the 32-bit emulation takes about 20 s; leave room for a busy machine.
  set_tests_properties(wine_prefix_template PROPERTIES FIXTURES_SETUP wine_prefix TIMEOUT 600)
  # Safety net: no wineserver of this build may outlive the test run.
  add_test(NAME wine_prefix_shutdown
           COMMAND ${QUILLON_WINE_SCRIPTS}/wine-shutdown.sh ${QUILLON_WINE_ROOT})
  set_tests_properties(wine_prefix_shutdown PROPERTIES FIXTURES_CLEANUP wine_prefix TIMEOUT 60)
endif()

function(add_wine_test)
  cmake_parse_arguments(PARSE_ARGV 0 WINE "WINDOWED" "NAME;WORKING_DIRECTORY" "COMMAND")
  if(NOT WINE_NAME OR NOT WINE_COMMAND)
    message(FATAL_ERROR "add_wine_test needs NAME and COMMAND")
  endif()
  list(POP_FRONT WINE_COMMAND program)
  if(TARGET ${program})
    set(program $<TARGET_FILE:${program}>)
  endif()
  set(runner ${QUILLON_WINE_RUN})
  if(WINE_WINDOWED)
    list(APPEND runner --windowed)
  endif()
  if(NOT WINE_WORKING_DIRECTORY)
    set(WINE_WORKING_DIRECTORY ${QUILLON_WINE_ROOT}/work/${WINE_NAME})
    file(MAKE_DIRECTORY ${WINE_WORKING_DIRECTORY})
  endif()
  add_test(NAME ${WINE_NAME} COMMAND ${runner} ${program} ${WINE_COMMAND}
           WORKING_DIRECTORY ${WINE_WORKING_DIRECTORY})
  set_tests_properties(
    ${WINE_NAME}
    PROPERTIES FIXTURES_REQUIRED wine_prefix
               ENVIRONMENT
               "WINEPREFIX=${QUILLON_WINE_ROOT}/prefixes/${WINE_NAME};QUILLON_WINE_TEMPLATE=${QUILLON_WINE_TEMPLATE}"
               # Wine may end a crashed program with status 0; its report gives it away.
               FAIL_REGULAR_EXPRESSION "wine: Unhandled"
               TIMEOUT 300)
endfunction()
