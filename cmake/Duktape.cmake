# Duktape from the distribution's amalgamated sources (duktape-dev), built with this tree's compiler and flags.
# The three files are copied into the build tree with the execution timeout check switched on.
set(KELVO_DUKTAPE_SOURCE_DIR /usr/share/duktape)
set(KELVO_DUKTAPE_DIR ${CMAKE_BINARY_DIR}/generated/duktape)
if(NOT EXISTS ${KELVO_DUKTAPE_SOURCE_DIR}/duktape.c)
    message(FATAL_ERROR "${KELVO_DUKTAPE_SOURCE_DIR}/duktape.c is missing: install duktape-dev (tools/setup.sh)")
endif()
execute_process(COMMAND /usr/bin/python3 ${PROJECT_SOURCE_DIR}/tools/build/duktape_config.py
                        ${KELVO_DUKTAPE_SOURCE_DIR} ${KELVO_DUKTAPE_DIR}
                RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cannot prepare Duktape in ${KELVO_DUKTAPE_DIR}")
endif()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS tools/build/duktape_config.py
             ${KELVO_DUKTAPE_SOURCE_DIR}/duk_config.h ${KELVO_DUKTAPE_SOURCE_DIR}/duktape.c)

add_library(kelvo_duktape STATIC ${KELVO_DUKTAPE_DIR}/duktape.c ${PROJECT_SOURCE_DIR}/cmake/duktape/DuktapeBudget.c)
# The build-tree copy comes first, ahead of the unpatched duk_config.h Debian also puts in /usr/include.
target_include_directories(kelvo_duktape BEFORE PUBLIC ${KELVO_DUKTAPE_DIR} ${PROJECT_SOURCE_DIR}/cmake/duktape)
# Third-party code: its warnings are not ours to fix. AddressSanitizer stays on, so a memory fault the suite's
# scripts provoke inside the engine is still caught; UBSan does not, since Duktape does pointer arithmetic on
# null by design (duk_hobject_props.c: a zero offset added to an empty property table) and the tests stop at it.
target_compile_options(kelvo_duktape PRIVATE -w)
if(NOT WIN32 AND KELVO_SANITIZE)
    target_compile_options(kelvo_duktape PRIVATE -fno-sanitize=undefined)
endif()
if(KELVO_SANITIZE AND NOT WIN32)
    # Duktape adds zero offsets to null pointers on purpose (empty property tables); the rest of the
    # undefined-behaviour checks and AddressSanitizer stay on for it.
    target_compile_options(kelvo_duktape PRIVATE -fno-sanitize=pointer-overflow)
endif()
if(NOT WIN32)
    target_link_libraries(kelvo_duktape PUBLIC m)
endif()
