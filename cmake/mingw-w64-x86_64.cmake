# Cross build for 64-bit Windows with Debian's MinGW-w64 (posix threads, for
# std::mutex and std::thread). Tests run through Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Qt for Windows, cross-built with these compilers (VELKO_QT_MINGW, a folder with
# bin/, lib/cmake/, plugins/ and qml/). With it the whole product builds, linked
# against the MinGW runtime DLLs that Qt's DLLs use, so that one C++ runtime is
# loaded. Without it only the platform layer builds, as self-contained
# executables that Wine runs without any MinGW DLL.
set(VELKO_QT_MINGW "" CACHE PATH "Qt 5 cross-built for MinGW-w64 (empty: platform layer only)")
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES VELKO_QT_MINGW)
if(VELKO_QT_MINGW)
    list(APPEND CMAKE_FIND_ROOT_PATH ${VELKO_QT_MINGW})
    list(APPEND CMAKE_PREFIX_PATH ${VELKO_QT_MINGW})
else()
    set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
endif()
set(VELKO_TEST_LAUNCHER ${CMAKE_CURRENT_LIST_DIR}/../tools/wine-run CACHE STRING "")
