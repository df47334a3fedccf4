# The installed package: the four libraries, the public headers under include/dialogkit, and in
# lib/cmake/DialogKit the package configuration (exported targets DialogKit::..., version file),
# add_dialog_program with its linker script, and the toolchain files that
# name the compilers the libraries were built with (link-time optimisation needs the same
# compiler for the programs); in bin/ dialogkit-driver.exe, when it is built, which the
# configuration names DIALOGKIT_DRIVER.
include(CMakePackageConfigHelpers)
set(DIALOGKIT_CONFIG_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/DialogKit)

install(TARGETS dialogkit_runtime dialogkit_toolkit dialogkit_entry dialogkit_nocrt
        EXPORT DialogKitTargets ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
# include/dialogkit/ as it is in the tree, with the version header the build generates.
install(DIRECTORY ${DIALOGKIT_PUBLIC_INCLUDE_DIR}/dialogkit DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(FILES ${DIALOGKIT_GENERATED_INCLUDE_DIR}/dialogkit/dialogkit_version.hpp
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/dialogkit)
install(EXPORT DialogKitTargets NAMESPACE DialogKit:: DESTINATION ${DIALOGKIT_CONFIG_DIR})

if(DIALOGKIT_BUILD_DRIVER)
  install(PROGRAMS ${DIALOGKIT_DRIVER} DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
# The test kit: the command dialogkit-test, and the scripts of this tree that make the Wine prefix
# and keep its server, which it runs (one copy: the same files as the tree's own commands use).
install(PROGRAMS ${PROJECT_SOURCE_DIR}/tools/kit/dialogkit-test DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/scripts/wine-env.sh ${PROJECT_SOURCE_DIR}/scripts/wine-prefix.sh
              ${PROJECT_SOURCE_DIR}/scripts/wine-run.sh ${PROJECT_SOURCE_DIR}/scripts/wine32-mode.sh
              ${PROJECT_SOURCE_DIR}/scripts/wine32-hold.sh ${PROJECT_SOURCE_DIR}/scripts/setup.sh
        DESTINATION ${CMAKE_INSTALL_DATADIR}/dialogkit/scripts)
# The toolchain file of the package's own architecture only: the other one would build programs
# that cannot link these libraries.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(DIALOGKIT_TOOLCHAIN_FILE mingw-i686.cmake)
  set(DIALOGKIT_PACKAGE_BITS 32)
else()
  set(DIALOGKIT_TOOLCHAIN_FILE mingw-x86_64.cmake)
  set(DIALOGKIT_PACKAGE_BITS 64)
endif()

configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/DialogKitConfig.cmake.in
                              ${CMAKE_CURRENT_BINARY_DIR}/DialogKitConfig.cmake
                              INSTALL_DESTINATION ${DIALOGKIT_CONFIG_DIR}
                              PATH_VARS CMAKE_INSTALL_BINDIR)
# 1.x serves every program written for 1.0 and later. The architecture is checked by the
# configuration itself, which says what does not match (the version file would only call the
# package unsuitable, naming its version).
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/DialogKitConfigVersion.cmake
                                 COMPATIBILITY SameMajorVersion ARCH_INDEPENDENT)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/DialogKitConfig.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/DialogKitConfigVersion.cmake
              ${CMAKE_CURRENT_LIST_DIR}/DialogKitProgram.cmake ${CMAKE_CURRENT_LIST_DIR}/nocrt.ld
              ${CMAKE_CURRENT_LIST_DIR}/DialogKitTest.cmake
              ${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake ${CMAKE_CURRENT_LIST_DIR}/${DIALOGKIT_TOOLCHAIN_FILE}
        DESTINATION ${DIALOGKIT_CONFIG_DIR})
