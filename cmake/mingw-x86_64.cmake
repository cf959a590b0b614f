# Cross toolchain for the 64-bit build that keeps pointer-size mistakes out.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TENVARA_TRIPLET x86_64-w64-mingw32)
# Straight to the 64-bit loader: Debian's wine command starts the 32-bit one
# first, which a kernel without 32-bit support refuses.
set(TENVARA_WINE_LOADER /usr/lib/wine/wine64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
