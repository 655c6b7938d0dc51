# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 (posix threads) and
# runs what it builds under Wine, as CMake's cross-compiling emulator:
#   cmake -S . -B build-windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/qt-windows-prefix.cmake)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER ${TESSARIN_MINGW_CXX})
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# The compiler's own runtime linked in, so the programs need no DLL beside them.
# Each function and datum in a section of its own, Qt's and Tessarin's, so the
# linker drops what nothing calls; and the source and build folders written
# as ".", so that no folder of the building machine is in what ships.
set(flags "-ffunction-sections -fdata-sections")
string(APPEND flags " -ffile-prefix-map=${CMAKE_SOURCE_DIR}=. -ffile-prefix-map=${CMAKE_BINARY_DIR}=.")
set(CMAKE_C_FLAGS_INIT "${flags}")
set(CMAKE_CXX_FLAGS_INIT "${flags}")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -Wl,--gc-sections")
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh)

# Qt for Windows as scripts/qt-windows.sh builds it from this file and
# qt-windows-features.cmake, from the cache outside the clone that
# qt-windows-prefix.cmake names; a Qt elsewhere can be named with
# -DTESSARIN_QT_WINDOWS=PREFIX. Qt's cross build runs the host's own Qt tools
# (moc, uic, rcc).
if(NOT TESSARIN_QT_WINDOWS AND EXISTS "${TESSARIN_QT_WINDOWS_PREFIX}/.tessarin-complete")
  set(TESSARIN_QT_WINDOWS "${TESSARIN_QT_WINDOWS_PREFIX}")
endif()
if(TESSARIN_QT_WINDOWS)
  list(APPEND CMAKE_FIND_ROOT_PATH "${TESSARIN_QT_WINDOWS}")
  set(QT_HOST_PATH /usr)
  set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake)
endif()
