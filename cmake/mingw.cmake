# Cross-builds the board for Windows with Debian's MinGW-w64 (posix thread model);
# the preset names the architecture: BOARD_MINGW_ARCH i686 (the product) or x86_64.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${BOARD_MINGW_ARCH})
set(prefix ${BOARD_MINGW_ARCH}-w64-mingw32)
set(CMAKE_C_COMPILER ${prefix}-gcc-posix)
set(CMAKE_CXX_COMPILER ${prefix}-g++-posix)
set(CMAKE_ASM_COMPILER ${prefix}-gcc-posix)
set(CMAKE_RC_COMPILER ${prefix}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${prefix})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# The compiler checks' own projects read this file too.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES BOARD_MINGW_ARCH)
