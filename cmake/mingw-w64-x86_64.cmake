# Cross build for 64-bit Windows with Debian's MinGW-w64 (posix thread model, so that
# std::thread, std::mutex and std::condition_variable work).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(NOLU_MINGW_PREFIX x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${NOLU_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${NOLU_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${NOLU_MINGW_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${NOLU_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# CTest runs the .exe tests through Wine; ./run prepares the prefix and the display.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
