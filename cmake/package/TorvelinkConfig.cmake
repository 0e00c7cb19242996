# find_package(Torvelink CONFIG): the command line that builds knob strips,
# as the imported program Torvelink::cli, and torvelink_add_strips(), which
# makes strips a build product of a target (TorvelinkStrips.cmake).

# A custom command's DEPFILE works with the Makefile generators from 3.20 on.
if(CMAKE_VERSION VERSION_LESS 3.20)
    set(Torvelink_FOUND FALSE)
    set(Torvelink_NOT_FOUND_MESSAGE
        "Torvelink needs CMake 3.20 or later, for the DEPFILE of its custom commands")
    return()
endif()

include("${CMAKE_CURRENT_LIST_DIR}/TorvelinkTargets.cmake")
include("${CMAKE_CURRENT_LIST_DIR}/TorvelinkStrips.cmake")
