# One interface target that carries the flags every target of ours is built
# with: exact floating point always, the sanitizers when asked for.
add_library(torvelink_options INTERFACE)

# Every pixel must come out with the same bits on every build: no fused
# multiply-add contraction, no fast-math reassociation.
target_compile_options(torvelink_options INTERFACE -ffp-contract=off -fno-fast-math)

option(TORVELINK_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(TORVELINK_SANITIZE)
    target_compile_options(torvelink_options INTERFACE
        -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    target_link_options(torvelink_options INTERFACE -fsanitize=address,undefined)
endif()

# ThreadSanitizer, for the threads that compose strips and compress PNG
# bands; it cannot be combined with AddressSanitizer.
option(TORVELINK_TSAN "Build with ThreadSanitizer" OFF)
if(TORVELINK_TSAN)
    if(TORVELINK_SANITIZE)
        message(FATAL_ERROR "TORVELINK_TSAN and TORVELINK_SANITIZE exclude each other")
    endif()
    target_compile_options(torvelink_options INTERFACE -fsanitize=thread -fno-omit-frame-pointer)
    target_link_options(torvelink_options INTERFACE -fsanitize=thread)
endif()
