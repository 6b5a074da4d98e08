# Cross build for 64-bit Windows with Debian's mingw-w64 (g++-mingw-w64-x86-64):
#   cmake -S . -B build-win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DSCALETOOL_CORE_ONLY=ON
# The "posix" thread model: std::thread and std::mutex need it with this compiler version.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(SCALETOOL_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${SCALETOOL_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${SCALETOOL_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${SCALETOOL_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${SCALETOOL_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Self-contained executables: no compiler run-time DLLs to ship beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Qt for Windows, static (scripts/build-qt-windows): -DSCALETOOL_WINDOWS_QT=<its folder>. The host's
# own Qt tools of the same version (moc, rcc, uic, lrelease) run beside it.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES SCALETOOL_WINDOWS_QT SCALETOOL_NO_WINE)
if(SCALETOOL_WINDOWS_QT)
    list(APPEND CMAKE_FIND_ROOT_PATH ${SCALETOOL_WINDOWS_QT})
    list(APPEND CMAKE_PREFIX_PATH ${SCALETOOL_WINDOWS_QT})
    file(GLOB SCALETOOL_HOST_QT_TOOLS /usr/lib/*/cmake/Qt6CoreTools)
    if(SCALETOOL_HOST_QT_TOOLS)
        list(GET SCALETOOL_HOST_QT_TOOLS 0 SCALETOOL_HOST_QT_TOOLS)
        get_filename_component(SCALETOOL_HOST_QT_CMAKE ${SCALETOOL_HOST_QT_TOOLS} DIRECTORY)
        set(QT_HOST_PATH /usr CACHE PATH "")
        set(QT_HOST_PATH_CMAKE_DIR ${SCALETOOL_HOST_QT_CMAKE} CACHE PATH "")
    endif()
endif()

# ctest runs the test programs through Wine when it is installed (not while building Qt itself,
# whose configure checks would run under it: -DSCALETOOL_NO_WINE=ON).
find_program(SCALETOOL_WINE wine)
if(SCALETOOL_WINE AND NOT SCALETOOL_NO_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${SCALETOOL_WINE})
endif()
