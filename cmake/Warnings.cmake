# One interface target that carries the warning flags into every target.
option(TORVELINK_WARNINGS_AS_ERRORS "Treat compiler warnings as errors" OFF)

add_library(torvelink_warnings INTERFACE)
target_compile_options(torvelink_warnings INTERFACE
    -Wall -Wextra -Wshadow -Wconversion -Wold-style-cast -Wnon-virtual-dtor
    -Woverloaded-virtual -Wdouble-promotion -Wimplicit-fallthrough
    # A message names only the facts it has, by designated initializers; GCC
    # 12 would ask for every other member too.
    -Wno-missing-field-initializers
    $<$<BOOL:${TORVELINK_WARNINGS_AS_ERRORS}>:-Werror>)
# Our targets link both interface targets through this one.
target_link_libraries(torvelink_warnings INTERFACE torvelink_options)
