# One interface target that carries the warning flags into every target.
option(TORVELINK_WARNINGS_AS_ERRORS "Treat compiler warnings as errors" OFF)

add_library(torvelink_warnings INTERFACE)
target_compile_options(torvelink_warnings INTERFACE
    -Wall -Wextra -Wshadow -Wconversion -Wold-style-cast -Wnon-virtual-dtor
    -Woverloaded-virtual -Wdouble-promotion -Wimplicit-fallthrough
    $<$<BOOL:${TORVELINK_WARNINGS_AS_ERRORS}>:-Werror>)
# Our targets link both interface targets through this one.
target_link_libraries(torvelink_warnings INTERFACE torvelink_options)
