# Shared part of the MinGW-w64 toolchain files; TENVARA_TRIPLET names the target.
# The posix-thread flavour is the one Debian's googletest builds against.
set(CMAKE_C_COMPILER ${TENVARA_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TENVARA_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${TENVARA_TRIPLET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TENVARA_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Tests are Windows executables: ctest starts them through Wine's loader for
# their word size (TENVARA_WINE_LOADER, set by each toolchain file).
set(CMAKE_CROSSCOMPILING_EMULATOR ${TENVARA_WINE_LOADER})
