# Runs a widget test built for Windows under Wine and prints its log. Under Wine the Qt Test log of a
# Windows program never reaches a pipe, so ctest would see nothing: it goes to a file first.
# Run with -DEMULATOR=... -DPROGRAM=... -DLOG=<file name, relative to the working directory> -P.
file(REMOVE ${LOG})
execute_process(COMMAND ${EMULATOR} ${PROGRAM} -platform offscreen -o ${LOG},txt RESULT_VARIABLE result)
if(EXISTS ${LOG})
    execute_process(COMMAND ${CMAKE_COMMAND} -E cat ${LOG})
endif()
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${PROGRAM} ended with ${result}")
endif()
