# Installs the build into a fresh prefix and runs the installed programs.
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "install failed: ${result}")
endif()
foreach(file bin/torvelink bin/torvelink-cli bin/torvelink-wmf-player bin/torvelink-svg-player
             bin/torvelink-picture-player
             share/applications/torvelink.desktop
             share/icons/hicolor/32x32/apps/torvelink.png)
    if(NOT EXISTS "${PREFIX}/${file}")
        message(FATAL_ERROR "not installed: ${file}")
    endif()
endforeach()
execute_process(COMMAND "${PREFIX}/bin/torvelink-cli" --help RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "installed torvelink-cli --help failed: ${result}")
endif()
# The installed command line finds the metafile player beside itself.
if(EXISTS "${SAMPLES}/wmf/drawing.wmf")
    execute_process(COMMAND "${PREFIX}/bin/torvelink-cli" "${SAMPLES}/wmf/drawing.wmf" --frames 1
                            -o "${PREFIX}/drawing_Seq_H.bmp"
                    RESULT_VARIABLE result ERROR_VARIABLE message)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "installed torvelink-cli cannot read a metafile: ${message}")
    endif()
endif()
# And the drawing player.
if(EXISTS "${SAMPLES}/hostile/svg/svg_long_prolog.svg")
    execute_process(COMMAND "${PREFIX}/bin/torvelink-cli" "${SAMPLES}/hostile/svg/svg_long_prolog.svg"
                            --frames 1 -o "${PREFIX}/drawing_Seq_H.png"
                    RESULT_VARIABLE result ERROR_VARIABLE message)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "installed torvelink-cli cannot draw an SVG drawing: ${message}")
    endif()
endif()
find_program(VALIDATE desktop-file-validate)
if(VALIDATE)
    execute_process(COMMAND "${VALIDATE}" "${PREFIX}/share/applications/torvelink.desktop"
                    RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "desktop entry rejected")
    endif()
endif()
