# Builds the Debian package and reads it back: the programs, the desktop
# entry, the manual pages and the completion are in it, and it names the
# libraries it needs.
find_program(DPKG_DEB dpkg-deb)
if(NOT DPKG_DEB)
    message(STATUS "dpkg-deb is not installed: the package is not built")
    return()
endif()
execute_process(COMMAND "${CMAKE_CPACK_COMMAND}" -G DEB -B "${OUT}" --config "${BUILD_DIR}/CPackConfig.cmake"
                RESULT_VARIABLE result OUTPUT_VARIABLE log ERROR_VARIABLE log)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cpack failed: ${log}")
endif()
file(GLOB packages "${OUT}/torvelink_*.deb")
list(LENGTH packages count)
if(NOT count EQUAL 1)
    message(FATAL_ERROR "expected one package in ${OUT}, found: ${packages}")
endif()
execute_process(COMMAND "${DPKG_DEB}" -c "${packages}" OUTPUT_VARIABLE contents)
foreach(file usr/bin/torvelink usr/bin/torvelink-cli usr/bin/torvelink-wmf-player usr/bin/torvelink-svg-player
             usr/bin/torvelink-picture-player
             usr/share/applications/torvelink.desktop usr/share/icons/hicolor/32x32/apps/torvelink.png
             usr/share/man/man1/torvelink-cli.1.gz usr/share/man/de/man1/torvelink-cli.1.gz
             usr/share/bash-completion/completions/torvelink-cli)
    string(FIND "${contents}" "./${file}\n" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "not in the package: ${file}\n${contents}")
    endif()
endforeach()
# The CMake package, wherever the library folder is.
foreach(file TorvelinkConfig.cmake TorvelinkConfigVersion.cmake TorvelinkStrips.cmake
             TorvelinkTargets.cmake)
    if(NOT contents MATCHES "\\./usr/lib/[^\n]*cmake/Torvelink/${file}\n")
        message(FATAL_ERROR "not in the package: ${file}\n${contents}")
    endif()
endforeach()
execute_process(COMMAND "${DPKG_DEB}" -f "${packages}" Depends OUTPUT_VARIABLE depends)
foreach(needed libqt6core6 libqt6widgets6 libqt6svg6 libwmf libdeflate0 qt6-image-formats-plugins
               fonts-urw-base35)
    string(FIND "${depends}" "${needed}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "the package does not depend on ${needed}: ${depends}")
    endif()
endforeach()
