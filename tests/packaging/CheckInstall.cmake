# Installs the build tree into a fresh prefix and compares the installed files with the list; then
# starts the installed program as the menu does: its new data folder gets the installed files.
# Run with -DBUILD_DIR=... -DWORK_DIR=... -P.
set(id org.scaletool.ScaleTool)
set(expected bin/scaletool share/applications/${id}.desktop share/metainfo/${id}.metainfo.xml
    share/scaletool/A15.bmp share/scaletool/A16.bmp share/scaletool/XPCorona.ssk
    share/scaletool/samples/ZEV.txt share/scaletool/samples/ZUD.txt)
foreach(size 16 24 32 48 64 128 256)
    list(APPEND expected share/icons/hicolor/${size}x${size}/apps/${id}.png)
endforeach()

set(prefix ${WORK_DIR}/prefix)
file(REMOVE_RECURSE ${WORK_DIR})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix} RESULT_VARIABLE failed OUTPUT_QUIET)
file(GLOB_RECURSE installed RELATIVE ${prefix} ${prefix}/*)
list(SORT installed)
list(SORT expected)
if(failed OR NOT installed STREQUAL expected)
    message(FATAL_ERROR "install (${failed}) gave\n  ${installed}\nexpected\n  ${expected}")
endif()

file(STRINGS ${prefix}/share/applications/${id}.desktop exec REGEX "^Exec=")
set(ENV{QT_QPA_PLATFORM} offscreen)
set(ENV{XDG_DATA_HOME} ${WORK_DIR}/data)
# The window stays open; the folder is ready before it shows.
execute_process(COMMAND ${prefix}/bin/scaletool --user-data WORKING_DIRECTORY ${WORK_DIR} TIMEOUT 3 OUTPUT_QUIET ERROR_QUIET)
foreach(file A15.bmp A16.bmp XPCorona.ssk)
    file(SHA256 ${prefix}/share/scaletool/${file} want)
    file(SHA256 ${WORK_DIR}/data/scaletool/${file} got)
    if(NOT got STREQUAL want)
        message(FATAL_ERROR "${file} in the data folder is not the installed one")
    endif()
endforeach()
file(GLOB written ${WORK_DIR}/*.txt ${WORK_DIR}/*.ini)
if(NOT exec STREQUAL "Exec=scaletool --user-data" OR written OR NOT EXISTS ${WORK_DIR}/data/scaletool/ZEV.txt)
    message(FATAL_ERROR "menu start: '${exec}', wrote in the working directory: '${written}'")
endif()
file(REMOVE_RECURSE ${WORK_DIR})
