# Installs the build tree into a fresh prefix, compares the installed files with the expected list,
# then starts the installed program for the desktop menu once: it must give a new per-user data
# folder the installed templates and skin. Run with -DBUILD_DIR=... -DWORK_DIR=... -P.
set(id org.scaletool.ScaleTool)
set(expected
    bin/scaletool
    share/applications/${id}.desktop
    share/metainfo/${id}.metainfo.xml
    share/scaletool/A15.bmp
    share/scaletool/A16.bmp
    share/scaletool/XPCorona.ssk
    share/scaletool/samples/ZEV.txt
    share/scaletool/samples/ZUD.txt)
foreach(size 16 24 32 48 64 128 256)
    list(APPEND expected share/icons/hicolor/${size}x${size}/apps/${id}.png)
endforeach()

set(prefix ${WORK_DIR}/prefix)
file(REMOVE_RECURSE ${WORK_DIR})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix}
    RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${result}")
endif()

file(GLOB_RECURSE installed RELATIVE ${prefix} ${prefix}/*)
list(SORT installed)
list(SORT expected)
if(NOT installed STREQUAL expected)
    message(FATAL_ERROR "installed files differ\n  installed: ${installed}\n  expected:  ${expected}")
endif()

# The desktop entry starts the installed program for the per-user data folder.
file(STRINGS ${prefix}/share/applications/${id}.desktop exec REGEX "^Exec=")
if(NOT exec STREQUAL "Exec=scaletool --user-data")
    message(FATAL_ERROR "unexpected desktop command: ${exec}")
endif()

# The window stays open; the folder is ready before it shows, so a short run is enough.
set(ENV{QT_QPA_PLATFORM} offscreen)
set(ENV{XDG_DATA_HOME} ${WORK_DIR}/data)
execute_process(COMMAND ${prefix}/bin/scaletool --user-data WORKING_DIRECTORY ${WORK_DIR}
    TIMEOUT 3 OUTPUT_QUIET ERROR_QUIET)
foreach(file A15.bmp A16.bmp XPCorona.ssk)
    file(SHA256 ${prefix}/share/scaletool/${file} want)
    if(NOT EXISTS ${WORK_DIR}/data/scaletool/${file})
        message(FATAL_ERROR "the data folder lacks ${file}")
    endif()
    file(SHA256 ${WORK_DIR}/data/scaletool/${file} got)
    if(NOT got STREQUAL want)
        message(FATAL_ERROR "${file} in the data folder is not the installed one")
    endif()
endforeach()
foreach(file ZUD.txt ZEV.txt)
    file(SIZE ${WORK_DIR}/data/scaletool/${file} size)
    if(NOT size EQUAL 0)
        message(FATAL_ERROR "${file} in the data folder is not empty")
    endif()
endforeach()
file(GLOB stray ${WORK_DIR}/*.txt ${WORK_DIR}/*.ini)
if(stray)
    message(FATAL_ERROR "the desktop start wrote into its working directory: ${stray}")
endif()
file(REMOVE_RECURSE ${WORK_DIR})
