# What `cmake --install` puts where (GNU install directories), in three components that the
# Debian packages follow (Package.cmake): `runtime`, the plug-in and the host runtime, which a
# host application needs to run; `dev`, their public headers, a CMake package
# (find_package(ARTargets CONFIG)), a pkg-config file and the linker names, to build one;
# `tool`, the tool with the private library of its commands, its manual page, completion and
# docs, which alone needs the image libraries.
include(CMakePackageConfigHelpers)

# The public headers are C++20: whoever links the installed targets compiles as C++20 too.
target_compile_features(arhost PUBLIC cxx_std_20)
target_compile_features(augmentedreality PUBLIC cxx_std_20)
install(TARGETS arhost augmentedreality EXPORT ARTargetsTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime NAMELINK_COMPONENT dev)
# include/ is what a host or a plug-in may include: the plug-in's classes and the runtime's
# headers, which declare all that libarhost exports.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/ ${PROJECT_BINARY_DIR}/generated/
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/artargets COMPONENT dev)

set(AR_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/ARTargets)
install(EXPORT ARTargetsTargets NAMESPACE ARTargets:: DESTINATION ${AR_CMAKE_DIR} COMPONENT dev)
configure_package_config_file(cmake/ARTargetsConfig.cmake.in
                              ${PROJECT_BINARY_DIR}/ARTargetsConfig.cmake
                              INSTALL_DESTINATION ${AR_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/ARTargetsConfigVersion.cmake
                                 COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/ARTargetsConfig.cmake
              ${PROJECT_BINARY_DIR}/ARTargetsConfigVersion.cmake
        DESTINATION ${AR_CMAKE_DIR} COMPONENT dev)
# The pkg-config file finds the prefix from its own place, so that --prefix at install time holds.
file(RELATIVE_PATH AR_PC_TO_PREFIX ${CMAKE_INSTALL_FULL_LIBDIR}/pkgconfig ${CMAKE_INSTALL_PREFIX})
configure_file(cmake/artargets.pc.in ${PROJECT_BINARY_DIR}/artargets.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/artargets.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig
        COMPONENT dev)

# The tool finds the plug-in beside the host runtime it links, and its private commands library
# in the folder artargets/ there; an RPATH only where the library folder is not the system's.
file(RELATIVE_PATH AR_BIN_TO_LIB ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_LIBDIR})
if(NOT CMAKE_INSTALL_FULL_LIBDIR IN_LIST CMAKE_CXX_IMPLICIT_LINK_DIRECTORIES)
  set_target_properties(artargets PROPERTIES INSTALL_RPATH "$ORIGIN/${AR_BIN_TO_LIB}")
endif()
install(TARGETS artargets RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT tool)
install(TARGETS artargets_commands LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}/artargets
        COMPONENT tool)

install(FILES README.md docs/artargets.md docs/git.md docs/hosting.md docs/target-file.md
              docs/platforms.md docs/platform-arkit.md docs/platform-arcore.md
              docs/platform-unity.md docs/platform-vuforia.md
              docs/target-file.xsd
        DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT tool)
install(FILES docs/hosting.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/libartargets-dev
        COMPONENT dev)
install(FILES packaging/libartargets0/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME libartargets0
        COMPONENT runtime)
# Debian keeps a package's change log compressed, without a time stamp; every package carries
# the copyright file and the change log in its own doc folder.
execute_process(COMMAND gzip -9nc ${PROJECT_SOURCE_DIR}/packaging/changelog
                OUTPUT_FILE ${PROJECT_BINARY_DIR}/changelog.gz)
foreach(component_package IN ITEMS runtime:libartargets0 dev:libartargets-dev tool:artargets)
  string(REPLACE ":" ";" pair ${component_package})
  list(GET pair 0 component)
  list(GET pair 1 package)
  install(FILES packaging/copyright ${PROJECT_BINARY_DIR}/changelog.gz
          DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${package} COMPONENT ${component})
endforeach()
