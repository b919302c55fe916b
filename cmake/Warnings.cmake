# The project's warnings, given to each target that links quillon_warnings (always PRIVATE, so
# that nothing reaches the installed CMake package). Warnings stop the build only when
# QUILLON_WERROR is on, as every preset has it: someone building with a newer compiler, which
# warns of more, still gets a library.
include_guard(GLOBAL)
option(QUILLON_WERROR "Treat compiler warnings as errors" OFF)
add_library(quillon_warnings INTERFACE)
target_compile_options(quillon_warnings INTERFACE -Wall -Wextra $<$<BOOL:${QUILLON_WERROR}>:-Werror>)
