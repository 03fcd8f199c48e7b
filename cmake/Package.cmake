# `cpack -G DEB` in a build configured with -DCMAKE_INSTALL_PREFIX=/usr makes three Debian
# packages of the install components (Install.cmake), split as Debian splits a library:
# libartargets0 (the two shared libraries), libartargets-dev (what building a host needs) and
# artargets (the tool, which alone pulls in the image libraries). Dependencies on other packages
# come from dpkg-shlibdeps.
set(CPACK_PACKAGE_NAME artargets)
set(CPACK_PACKAGE_VENDOR "The AR targets developers")
set(CPACK_PACKAGE_CONTACT "AR targets developers <artargets@example.org>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL runtime dev tool)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(exact "(= ${PROJECT_VERSION})")

set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME libartargets0)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION libs)
set(CPACK_COMPONENT_RUNTIME_DESCRIPTION
    "AR targets plug-in and the host runtime it runs on\n\
A plug-in that gives a 3D-model viewer augmented-reality targets kept in\n\
XML target files (libaugmentedreality), and the host runtime it runs on\n\
(libarhost).")
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)  # only libartargets0 holds versioned libraries
# The shared libraries are registered with the dynamic linker through its trigger. What lintian
# says of the package that is by design is overridden, with the reason, in
# packaging/libartargets0/lintian-overrides.
set(CPACK_DEBIAN_RUNTIME_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/packaging/libartargets0/triggers)

set(CPACK_DEBIAN_DEV_PACKAGE_NAME libartargets-dev)
set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEV_PACKAGE_DEPENDS "libartargets0 ${exact}")
set(CPACK_COMPONENT_DEV_DESCRIPTION
    "AR targets plug-in and host runtime: development files\n\
Headers, a CMake package (find_package(ARTargets)), a pkg-config file\n\
(artargets) and the linker names, to build a host application that\n\
embeds the AR targets plug-in.")

set(CPACK_DEBIAN_TOOL_PACKAGE_NAME artargets)
set(CPACK_DEBIAN_TOOL_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_TOOL_PACKAGE_DEPENDS "libartargets0 ${exact}")
# dpkg-shlibdeps finds the host runtime the tool links in libartargets0's staging folder; the
# dependency on it is the one above.
set(CPACK_PACKAGE_FILE_NAME artargets-${PROJECT_VERSION}-Linux)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS
    ${PROJECT_BINARY_DIR}/_CPack_Packages/Linux/DEB/${CPACK_PACKAGE_FILE_NAME}/runtime${CMAKE_INSTALL_FULL_LIBDIR})
set(CPACK_COMPONENT_TOOL_DESCRIPTION
    "command-line tool for AR target files\n\
artargets lists, checks, edits, converts, renders and merges the XML\n\
target files of the AR targets plug-in, through the plug-in itself.")
include(CPack)
