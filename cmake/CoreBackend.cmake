# A folder's backend of a platform interface: the WIN32 sources on Windows, the POSIX ones elsewhere.
function(scaletool_core_backend)
    cmake_parse_arguments(PARSE_ARGV 0 BACKEND "" "" "POSIX;WIN32")
    if(WIN32)
        target_sources(scaletool_core PRIVATE ${BACKEND_WIN32})
    else()
        target_sources(scaletool_core PRIVATE ${BACKEND_POSIX})
    endif()
endfunction()
