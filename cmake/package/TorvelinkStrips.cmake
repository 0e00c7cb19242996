# torvelink_add_strips(<target>
#     [RECIPES knob.json ...] [PICTURES knob.svg ...]
#     [FOR <toolkit>] [SCALES 1 2 ...] [FORMAT png|bmp]
#     [OUTPUT_DIRECTORY <dir>] [EMBED [NAMESPACE <name>]] [OPTIONS <option> ...])
#
# Builds the strips of each recipe or picture when <target> is built, and
# again when the recipe, the picture or any layer it names changes: one
# custom command each, with a dependency file the command line writes. The
# strips and their side files go into OUTPUT_DIRECTORY (default: strips/ in
# the current build folder). FOR, SCALES, FORMAT and OPTIONS are given to
# every run as its command line, over what a recipe says.
#
# EMBED adds C source to <target> that holds each strip's bytes and facts:
# include "<NAMESPACE>.h" (default strips.h) and use strips::knob_Seq_V in
# C++ (C++17) or strips_knob_Seq_V in C, a torvelink_strip with data, size,
# frames, frame_width, frame_height, columns, rows, layout, scale,
# start_angle and end_angle.
#
# Which files a run writes is asked of the command line when CMake
# configures (torvelink-cli --list-outputs), and asked again when a recipe
# changes: it names every scale and every side file as the run will write
# them.

# The policies this file is written for, kept by the function when it is
# called: CMP0116 has CMake make the dependency file's paths fit Ninja.
cmake_policy(PUSH)
cmake_policy(VERSION 3.20...3.25)

function(torvelink_add_strips target)
    cmake_parse_arguments(PARSE_ARGV 1 arg "EMBED" "FOR;FORMAT;OUTPUT_DIRECTORY;NAMESPACE"
                          "RECIPES;PICTURES;SCALES;OPTIONS")
    if(arg_UNPARSED_ARGUMENTS)
        message(FATAL_ERROR "torvelink_add_strips: unknown arguments: ${arg_UNPARSED_ARGUMENTS}")
    endif()
    if(NOT TARGET "${target}")
        message(FATAL_ERROR "torvelink_add_strips: no target named ${target}")
    endif()
    if(NOT arg_RECIPES AND NOT arg_PICTURES)
        message(FATAL_ERROR "torvelink_add_strips(${target}): no RECIPES and no PICTURES")
    endif()
    if(NOT arg_NAMESPACE)
        set(arg_NAMESPACE strips)
    endif()
    # A target includes one header of a namespace's name.
    if(arg_EMBED)
        get_property(spaces TARGET "${target}" PROPERTY TORVELINK_NAMESPACES)
        if("${arg_NAMESPACE}" IN_LIST spaces)
            message(FATAL_ERROR "torvelink_add_strips(${target}): NAMESPACE ${arg_NAMESPACE} is "
                                "embedded already; give each call with EMBED its own")
        endif()
        set_property(TARGET "${target}" APPEND PROPERTY TORVELINK_NAMESPACES "${arg_NAMESPACE}")
    endif()
    set(out "${CMAKE_CURRENT_BINARY_DIR}/strips")
    if(arg_OUTPUT_DIRECTORY)
        get_filename_component(out "${arg_OUTPUT_DIRECTORY}" ABSOLUTE
                               BASE_DIR "${CMAKE_CURRENT_BINARY_DIR}")
    endif()
    # One folder for each call, for the dependency files and the C source.
    get_property(calls TARGET "${target}" PROPERTY TORVELINK_STRIP_CALLS)
    math(EXPR calls "${calls} + 1")
    set_property(TARGET "${target}" PROPERTY TORVELINK_STRIP_CALLS ${calls})
    set(work "${CMAKE_CURRENT_BINARY_DIR}/torvelink/${target}_${calls}")
    file(MAKE_DIRECTORY "${work}")

    get_target_property(cli Torvelink::cli LOCATION)
    set(common -o "${out}/" -q)
    if(arg_FOR)
        list(APPEND common --for "${arg_FOR}")
    endif()
    if(arg_SCALES)
        string(REPLACE ";" "," scales "${arg_SCALES}")
        list(APPEND common --scales "${scales}")
    endif()
    if(arg_FORMAT)
        list(APPEND common --format "${arg_FORMAT}")
    endif()
    list(APPEND common ${arg_OPTIONS})
    # C source where the project compiles C, else C++: it is both.
    get_property(languages GLOBAL PROPERTY ENABLED_LANGUAGES)
    set(ending .cpp)
    if("C" IN_LIST languages)
        set(ending .c)
    endif()

    set(written "")
    set(headers "")
    set(sources "")
    set(stems "")
    foreach(input IN LISTS arg_RECIPES arg_PICTURES)
        get_filename_component(path "${input}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
        get_filename_component(stem "${path}" NAME_WLE)
        string(MAKE_C_IDENTIFIER "${stem}" stem)
        # Two inputs of one name ("a/knob.json", "b/knob.json") keep apart.
        set(unique "${stem}")
        set(n 1)
        while("${unique}" IN_LIST stems)
            math(EXPR n "${n} + 1")
            set(unique "${stem}_${n}")
        endwhile()
        list(APPEND stems "${unique}")
        set(args "${path}" ${common})
        if(arg_EMBED)
            list(APPEND args --embed "${work}/${unique}${ending}" --embed-namespace
                 "${arg_NAMESPACE}")
        endif()
        execute_process(COMMAND "${cli}" ${args} --list-outputs
                        RESULT_VARIABLE result OUTPUT_VARIABLE listed ERROR_VARIABLE said)
        if(NOT result EQUAL 0)
            message(FATAL_ERROR "torvelink_add_strips(${target}): ${input}:\n${said}")
        endif()
        if(said)
            message(WARNING "torvelink_add_strips(${target}): ${input}:\n${said}")
        endif()
        if(listed MATCHES ";")
            message(FATAL_ERROR "torvelink_add_strips(${target}): ${input}: a file it writes "
                                "has a ';' in its name, which a CMake list cannot hold")
        endif()
        string(REPLACE "\n" ";" outputs "${listed}")
        list(FILTER outputs EXCLUDE REGEX "^$")
        foreach(file IN LISTS outputs)
            if("${file}" IN_LIST written)
                message(FATAL_ERROR "torvelink_add_strips(${target}): ${input} writes ${file}, "
                                    "which another recipe or picture writes too")
            endif()
        endforeach()
        list(APPEND written ${outputs})
        set(depfile "${work}/${unique}.d")
        add_custom_command(OUTPUT ${outputs}
                           COMMAND Torvelink::cli ${args} --depfile "${depfile}"
                           DEPENDS "${path}" "${cli}"
                           DEPFILE "${depfile}"
                           COMMENT "Building the knob strips of ${input}"
                           VERBATIM)
        # A recipe's options decide which files are written: CMake asks again
        # when it changes.
        if(path MATCHES "\\.json$")
            set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${path}")
        endif()
        if(arg_EMBED)
            list(APPEND sources "${work}/${unique}${ending}")
            list(APPEND headers "${work}/${unique}.h")
        endif()
    endforeach()

    add_custom_target(${target}_strips_${calls} DEPENDS ${written})
    add_dependencies(${target} ${target}_strips_${calls})
    if(arg_EMBED)
        set(all "/* The knob strips of ${target}, from torvelink_add_strips(). */\n#pragma once\n")
        foreach(header IN LISTS headers)
            get_filename_component(name "${header}" NAME)
            string(APPEND all "#include \"${name}\"\n")
        endforeach()
        file(CONFIGURE OUTPUT "${work}/${arg_NAMESPACE}.h" CONTENT "${all}" @ONLY)
        target_sources(${target} PRIVATE ${sources} ${headers} "${work}/${arg_NAMESPACE}.h")
        target_include_directories(${target} PRIVATE "${work}")
    endif()
endfunction()

cmake_policy(POP)
