# What `cmake --install` puts where (GNU install directories): the plug-in and the host
# runtime with their public headers, a CMake package (find_package(ARTargets CONFIG)) and a
# pkg-config file; the tool with the private library of its commands; the docs.
include(CMakePackageConfigHelpers)

install(TARGETS arhost augmentedreality EXPORT ARTargetsTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
# include/ is what a host may include: the plug-in's classes and the runtime's control surface.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/ ${PROJECT_BINARY_DIR}/generated/
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/artargets)

set(AR_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/ARTargets)
install(EXPORT ARTargetsTargets NAMESPACE ARTargets:: DESTINATION ${AR_CMAKE_DIR})
configure_package_config_file(cmake/ARTargetsConfig.cmake.in
                              ${PROJECT_BINARY_DIR}/ARTargetsConfig.cmake
                              INSTALL_DESTINATION ${AR_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/ARTargetsConfigVersion.cmake
                                 COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/ARTargetsConfig.cmake
              ${PROJECT_BINARY_DIR}/ARTargetsConfigVersion.cmake
        DESTINATION ${AR_CMAKE_DIR})
# The pkg-config file finds the prefix from its own place, so that --prefix at install time holds.
file(RELATIVE_PATH AR_PC_TO_PREFIX ${CMAKE_INSTALL_FULL_LIBDIR}/pkgconfig ${CMAKE_INSTALL_PREFIX})
configure_file(cmake/artargets.pc.in ${PROJECT_BINARY_DIR}/artargets.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/artargets.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

# The tool finds the plug-in beside the host runtime it links, and its private commands library
# in the folder artargets/ there; an RPATH only where the library folder is not the system's.
file(RELATIVE_PATH AR_BIN_TO_LIB ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_LIBDIR})
if(NOT CMAKE_INSTALL_FULL_LIBDIR IN_LIST CMAKE_CXX_IMPLICIT_LINK_DIRECTORIES)
  set_target_properties(artargets PROPERTIES INSTALL_RPATH "$ORIGIN/${AR_BIN_TO_LIB}")
endif()
install(TARGETS artargets RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS artargets_commands LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}/artargets)

install(FILES README.md docs/artargets.md docs/git.md docs/hosting.md docs/target-file.md
              docs/target-file.xsd
              packaging/copyright
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
# Debian keeps a package's change log compressed, without a time stamp.
execute_process(COMMAND gzip -9nc ${PROJECT_SOURCE_DIR}/packaging/changelog
                OUTPUT_FILE ${PROJECT_BINARY_DIR}/changelog.gz)
install(FILES ${PROJECT_BINARY_DIR}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})
