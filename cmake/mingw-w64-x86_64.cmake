# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 (the posix thread model, which
# Qt needs for std::thread). Libraries, headers and packages come only from the MinGW
# sysroot and the folders in CMAKE_FIND_ROOT_PATH (the Windows Qt, ICU and test libraries),
# never from the build machine's own /usr.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(triplet x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${triplet}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triplet}-g++-posix)
set(CMAKE_RC_COMPILER ${triplet}-windres)

list(APPEND CMAKE_FIND_ROOT_PATH /usr/${triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Tests and test discovery run the Windows programs under Wine.
find_program(HUEWRIGHT_WINE NAMES wine wine64)
if(HUEWRIGHT_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${HUEWRIGHT_WINE})
endif()

# Which DLLs a program imports, for install(RUNTIME_DEPENDENCY_SET).
set(CMAKE_GET_RUNTIME_DEPENDENCIES_PLATFORM windows+pe)
set(CMAKE_GET_RUNTIME_DEPENDENCIES_TOOL objdump)
set(CMAKE_GET_RUNTIME_DEPENDENCIES_COMMAND ${triplet}-objdump)
