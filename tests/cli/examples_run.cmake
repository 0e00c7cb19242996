# Runs every recipe among the examples as a user would, each into a folder
# of its own: an example that names a file, a key or a value the program no
# longer takes fails here. Each names its schema by a path relative to
# itself, which must hold where the examples lie (the schema beside their
# folder, in the source tree as when installed).
#   cmake -DCLI=torvelink-cli -DEXAMPLES=folder -DOUT=folder -P examples_run.cmake
file(REMOVE_RECURSE "${OUT}")
file(GLOB recipes "${EXAMPLES}/*.json")
if(NOT recipes)
    message(FATAL_ERROR "no recipe in ${EXAMPLES}")
endif()
foreach(recipe ${recipes})
    get_filename_component(name "${recipe}" NAME_WE)
    file(READ "${recipe}" text)
    string(JSON schema ERROR_VARIABLE missing GET "${text}" "$schema")
    if(missing OR NOT EXISTS "${EXAMPLES}/${schema}")
        message(FATAL_ERROR "${name}.json: its schema is not where it says: '${schema}'")
    endif()
    execute_process(COMMAND "${CLI}" "${recipe}" -o "${OUT}/${name}/"
                    RESULT_VARIABLE result OUTPUT_VARIABLE said ERROR_VARIABLE told)
    file(GLOB strips "${OUT}/${name}/${name}_Seq_*.png")
    if(NOT result EQUAL 0 OR NOT strips)
        message(FATAL_ERROR "${name}.json: exit ${result}, no strip\n${said}${told}")
    endif()
endforeach()
# --oversample reaches the arc: the flat knob's strip drawn finer is another.
execute_process(COMMAND "${CLI}" "${EXAMPLES}/flat.json" --oversample 4 -o "${OUT}/finer/"
                RESULT_VARIABLE result ERROR_VARIABLE told)
file(GLOB finer "${OUT}/finer/flat_Seq_*.png")
file(GLOB plain "${OUT}/flat/flat_Seq_*.png")
if(NOT result EQUAL 0 OR NOT finer)
    message(FATAL_ERROR "flat.json --oversample 4: exit ${result}, no strip\n${told}")
endif()
file(SHA256 "${finer}" finerSum)
file(SHA256 "${plain}" plainSum)
if(finerSum STREQUAL plainSum)
    message(FATAL_ERROR "flat.json: --oversample 4 draws the same arc as without it")
endif()
