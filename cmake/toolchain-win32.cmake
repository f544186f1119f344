# Windows, 32-bit x86: the form the host loads. The -posix compilers carry the
# posix thread model, without which the standard library has no std::mutex and
# GoogleTest does not compile. Test programs run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)

set(ZAV_MINGW_PREFIX i686-w64-mingw32)
set(CMAKE_C_COMPILER ${ZAV_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZAV_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${ZAV_MINGW_PREFIX}-windres)
set(CMAKE_AR ${ZAV_MINGW_PREFIX}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${ZAV_MINGW_PREFIX}-ranlib CACHE FILEPATH "")
set(CMAKE_NM ${ZAV_MINGW_PREFIX}-nm CACHE FILEPATH "")
set(CMAKE_OBJDUMP ${ZAV_MINGW_PREFIX}-objdump CACHE FILEPATH "")
set(CMAKE_STRIP ${ZAV_MINGW_PREFIX}-strip CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH /usr/${ZAV_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Wine runs the test programs, quietly, and without offering to download the
# .NET and HTML runtimes when it first creates its prefix.
set(CMAKE_CROSSCOMPILING_EMULATOR env WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml= wine)
