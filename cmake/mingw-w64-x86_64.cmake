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

# ctest runs the test programs through Wine when it is installed.
find_program(SCALETOOL_WINE wine)
if(SCALETOOL_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${SCALETOOL_WINE})
endif()
