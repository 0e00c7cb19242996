# A CMake project builds knob strips as build products with the package an
# install puts in place: the strips and their bytes embedded in a C++ and a C
# program, rebuilt when a layer changes and only then, with each generator
# there is a build program for.
#   BUILD_DIR: the build to install; PREFIX, WORK: fresh folders;
#   PROJECT: tests/cli/strips_project.
cmake_minimum_required(VERSION 3.20)
file(REMOVE_RECURSE "${PREFIX}" "${WORK}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "install failed: ${result}")
endif()

function(run what)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "${what} failed:\n${out}")
    endif()
    set(said "${out}" PARENT_SCOPE)
endfunction()

# The strips built by this build, by their inputs.
function(expect_built what log)
    foreach(input knob.json fader.json dial.svg)
        string(FIND "${log}" "Building the knob strips of ${input}" at)
        if(input IN_LIST ARGN AND at EQUAL -1)
            message(FATAL_ERROR "${what}: the strips of ${input} were not built:\n${log}")
        elseif(NOT input IN_LIST ARGN AND NOT at EQUAL -1)
            message(FATAL_ERROR "${what}: the strips of ${input} were built again:\n${log}")
        endif()
    endforeach()
endfunction()

# The programs say each strip's facts, and hold its file's bytes.
function(expect_embedded build)
    file(MAKE_DIRECTORY "${build}/dump")
    run("the C++ program" "${build}/facts" "${build}/dump")
    set(expected
        "knob_Seq_V.png: 5 frames of 12 x 12, 1 x 5, vertical, scale 1, from -144 to 144
knob_Seq_V@2x.png: 5 frames of 24 x 24, 1 x 5, vertical, scale 2, from -144 to 144
fader_Seq_V.png: 7 frames of 20 x 20, 1 x 7, vertical, scale 1, from -90 to 90
fader_Seq_V@2x.png: 7 frames of 40 x 40, 1 x 7, vertical, scale 2, from -90 to 90
")
    if(NOT said STREQUAL expected)
        message(FATAL_ERROR "the C++ program says:\n${said}\nnot:\n${expected}")
    endif()
    foreach(strip knob_Seq_V.png knob_Seq_V@2x.png fader_Seq_V.png fader_Seq_V@2x.png)
        run("${strip}'s bytes" "${CMAKE_COMMAND}" -E compare_files "${build}/strips/${strip}"
            "${build}/dump/${strip}")
    endforeach()
    run("the C program" "${build}/dial" "${build}/dump/dial.png")
    if(NOT said STREQUAL "dial_Seq_G.png: 3 frames of 16 x 16, 2 x 2, grid, scale 1\n")
        message(FATAL_ERROR "the C program says: ${said}")
    endif()
    run("the dial's bytes" "${CMAKE_COMMAND}" -E compare_files "${build}/dials/dial_Seq_G.png"
        "${build}/dump/dial.png")
endfunction()

set(tried "")
foreach(generator "Unix Makefiles" Ninja)
    set(tool make)
    if(generator STREQUAL "Ninja")
        set(tool ninja)
    endif()
    find_program(found_${tool} ${tool})
    if(NOT found_${tool})
        message(STATUS "${generator}: ${tool} is not installed")
        continue()
    endif()
    list(APPEND tried "${generator}")
    # A copy of its own, whose layer can be touched.
    string(REPLACE " " "_" name "${generator}")
    set(source "${WORK}/${name}/source")
    set(build "${WORK}/${name}/build")
    file(COPY "${PROJECT}/" DESTINATION "${source}")
    run("configuring with ${generator}" "${CMAKE_COMMAND}" -S "${source}" -B "${build}"
        -G "${generator}" "-DCMAKE_PREFIX_PATH=${PREFIX}" -DCMAKE_BUILD_TYPE=Release)
    run("building with ${generator}" "${CMAKE_COMMAND}" --build "${build}")
    expect_built("the first build" "${said}" knob.json fader.json dial.svg)
    expect_embedded("${build}")
    run("building again" "${CMAKE_COMMAND}" --build "${build}")
    expect_built("a build with nothing changed" "${said}")
    # A layer of the knob's recipe, as an editor saves it.
    file(TOUCH "${source}/shadow.svg")
    run("building after a layer changed" "${CMAKE_COMMAND}" --build "${build}")
    expect_built("a build after the knob's shadow changed" "${said}" knob.json)
    expect_embedded("${build}")
endforeach()
if(NOT tried)
    message("SKIPPED: neither make nor ninja is installed")
endif()
