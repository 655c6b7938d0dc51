# Where the Qt for Windows that this machine builds from its own Qt's source
# lies (scripts/qt-windows.sh builds it there, the toolchain file finds it):
#   ${XDG_CACHE_HOME:-$HOME/.cache}/tessarin/qt-VERSION-mingw64-gccN-KEY
# VERSION is the host Qt's Debian version, revision included (a cross build of
# Qt runs the host's moc, uic and rcc, and Debian's updates patch its source),
# N the MinGW-w64 compiler's, and KEY the hash of those two and of
# qt-windows-features.cmake and the toolchain file: a change to any of them
# builds Qt anew, beside the others. Included, it sets
# TESSARIN_QT_WINDOWS_PREFIX; run with `cmake -P`, it prints it.
set(TESSARIN_MINGW_CXX x86_64-w64-mingw32-g++-posix)
execute_process(COMMAND dpkg-query -W -f=\${Version} qt6-base-dev
  OUTPUT_VARIABLE qt_version ERROR_QUIET)
execute_process(COMMAND ${TESSARIN_MINGW_CXX} -dumpversion
  OUTPUT_VARIABLE compiler_version OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
# An epoch's colon is no character for a folder's name.
string(REPLACE ":" "_" qt_folder_version "${qt_version}")
string(REGEX REPLACE "[^0-9].*" "" compiler_major "${compiler_version}")
file(READ "${CMAKE_CURRENT_LIST_DIR}/qt-windows-features.cmake" features)
file(READ "${CMAKE_CURRENT_LIST_DIR}/mingw-w64-x86_64.cmake" toolchain)
string(SHA256 key "${qt_version}\n${compiler_version}\n${features}${toolchain}")
string(SUBSTRING "${key}" 0 12 key)
if(NOT "$ENV{XDG_CACHE_HOME}" STREQUAL "")
  set(cache "$ENV{XDG_CACHE_HOME}")
else()
  set(cache "$ENV{HOME}/.cache")
endif()
set(TESSARIN_QT_WINDOWS_PREFIX
  "${cache}/tessarin/qt-${qt_folder_version}-mingw64-gcc${compiler_major}-${key}")
if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  execute_process(COMMAND ${CMAKE_COMMAND} -E echo "${TESSARIN_QT_WINDOWS_PREFIX}")
endif()
