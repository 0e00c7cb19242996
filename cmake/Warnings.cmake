# One interface target that carries the warning flags into every target.
add_library(torvelink_warnings INTERFACE)
target_compile_options(torvelink_warnings INTERFACE
    -Wall -Wextra -Wshadow -Wconversion -Wold-style-cast -Wnon-virtual-dtor
    -Woverloaded-virtual -Wdouble-promotion -Wimplicit-fallthrough)
