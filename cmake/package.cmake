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
install(DIRECTORY ${DIALOGKIT_INCLUDE_DIR} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(EXPORT DialogKitTargets NAMESPACE DialogKit:: DESTINATION ${DIALOGKIT_CONFIG_DIR})

if(DIALOGKIT_BUILD_DRIVER)
  install(PROGRAMS ${DIALOGKIT_DRIVER} DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/DialogKitConfig.cmake.in
                              ${CMAKE_CURRENT_BINARY_DIR}/DialogKitConfig.cmake
                              INSTALL_DESTINATION ${DIALOGKIT_CONFIG_DIR}
                              PATH_VARS CMAKE_INSTALL_BINDIR)
# 1.x serves every program written for 1.0 and later; a 32-bit build serves 32-bit programs only.
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/DialogKitConfigVersion.cmake
                                 COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/DialogKitConfig.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/DialogKitConfigVersion.cmake
              ${CMAKE_CURRENT_LIST_DIR}/DialogKitProgram.cmake ${CMAKE_CURRENT_LIST_DIR}/nocrt.ld
              ${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake ${CMAKE_CURRENT_LIST_DIR}/mingw-i686.cmake
              ${CMAKE_CURRENT_LIST_DIR}/mingw-x86_64.cmake
        DESTINATION ${DIALOGKIT_CONFIG_DIR})
