# Cross-compiling for 64-bit Windows with Debian's mingw-w64 (the posix thread
# model, which std::thread needs): g++-mingw-w64-x86-64-posix.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(POM_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${POM_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${POM_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${POM_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${POM_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Self-contained executables: no libstdc++, libgcc or winpthread DLLs to ship
# or to find under Wine.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Tests run through Wine when it is there (CTest prefixes every test command).
find_program(POM_WINE NAMES wine64 wine)
if(POM_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${POM_WINE})
endif()
