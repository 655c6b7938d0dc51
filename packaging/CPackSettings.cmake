set(CPACK_PACKAGE_NAME tessarin)
set(CPACK_STRIP_FILES ON)

# The one time that what is packaged carries, read when configuring:
# SOURCE_DATE_EPOCH, as distributions set it; without it the last commit's,
# and out of a clone CMakeLists.txt's, to which the source archive gives that
# time. Builds of one version in two folders then give the same bytes.
execute_process(COMMAND git -C ${PROJECT_SOURCE_DIR} rev-parse --absolute-git-dir
  OUTPUT_VARIABLE git_folder OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET RESULT_VARIABLE no_git)
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(TESSARIN_SOURCE_DATE_EPOCH $ENV{SOURCE_DATE_EPOCH})
elseif(no_git)
  file(TIMESTAMP ${PROJECT_SOURCE_DIR}/CMakeLists.txt TESSARIN_SOURCE_DATE_EPOCH "%s" UTC)
else()
  if(EXISTS ${git_folder}/logs/HEAD)
    # Read anew when a commit moves HEAD.
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${git_folder}/logs/HEAD)
  endif()
  execute_process(COMMAND git -C ${PROJECT_SOURCE_DIR} log -1 --format=%ct
    OUTPUT_VARIABLE TESSARIN_SOURCE_DATE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE
    COMMAND_ERROR_IS_FATAL ANY)
endif()
# cpack reads it from its environment, for the times of the packages' files.
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_BINARY_DIR}/CPackTime.cmake)
file(CONFIGURE OUTPUT ${CPACK_PROJECT_CONFIG_FILE}
  CONTENT "set(ENV{SOURCE_DATE_EPOCH} ${TESSARIN_SOURCE_DATE_EPOCH})\n")

if(WIN32)
  # The Windows archive: `cpack -G ZIP` in the build folder gives
  # tessarin-VERSION-win64.zip: the one program file, its licence and its notices.
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME ${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-win64)
  include(CPack)
  return()
endif()

# The Debian package: `cpack -G DEB` in the build folder. Its dependencies are
# read from the shared libraries the program links (dpkg-shlibdeps).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_VENDOR ${TESSARIN_MAKER})
set(CPACK_PACKAGE_CONTACT "${TESSARIN_MAKER} <packages@tessarin.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "finds the IP of a given host and vice versa")
# Debian wants the extended description in lines of at most 80 characters.
set(CPACK_PACKAGE_DESCRIPTION "Tessarin is a small window that turns a host name into its first IPv4
address, or a dotted IPv4 address into its host name, through the system's
own name resolution.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# A package links the Qt of the release it was built on, and installs on that
# release only: the revision names the release, as Debian marks one upstream
# version built for several (2.0.0-1~deb13u1, 2.0.0-1~deb12u1).
cmake_host_system_information(RESULT distribution QUERY DISTRIB_ID DISTRIB_VERSION_ID
  DISTRIB_VERSION_CODENAME)
list(GET distribution 0 distribution_id)
list(GET distribution 1 distribution_version)
list(GET distribution 2 TESSARIN_DEBIAN_SUITE)
# Testing names no version of its own: it is the next, known by its codename.
set(next_releases forky 14 duke 15)
list(FIND next_releases "${TESSARIN_DEBIAN_SUITE}" next)
if(distribution_id STREQUAL debian AND NOT distribution_version AND next GREATER_EQUAL 0)
  math(EXPR next "${next} + 1")
  list(GET next_releases ${next} distribution_version)
endif()
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
if(distribution_id STREQUAL debian AND distribution_version MATCHES "^[0-9]+$")
  string(APPEND CPACK_DEBIAN_PACKAGE_RELEASE "~deb${distribution_version}u1")
else()
  set(TESSARIN_DEBIAN_SUITE unstable)
endif()
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${PROJECT_HOMEPAGE_URL})
# Without Qt's Wayland platform a Wayland desktop runs Tessarin through XWayland,
# where it centres its own window; with it, natively, where the compositor places it.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS qt6-wayland)
include(CPack)
