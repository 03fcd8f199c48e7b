# `cpack -G DEB` in a build configured with -DCMAKE_INSTALL_PREFIX=/usr makes one Debian
# package of what `cmake --install` installs, its dependencies found by dpkg-shlibdeps.
set(CPACK_PACKAGE_NAME artargets)
set(CPACK_PACKAGE_VENDOR "The AR targets developers")
set(CPACK_PACKAGE_CONTACT "AR targets developers <artargets@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "AR targets plug-in, its host runtime and the artargets tool")
set(CPACK_PACKAGE_DESCRIPTION
    "A plug-in that gives a 3D-model viewer augmented-reality targets kept in\n\
XML target files, the host runtime it runs on (with headers, a CMake package\n\
and a pkg-config file), and artargets, the tool that lists, checks, edits\n\
and converts target files.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
# The shared libraries are registered with the dynamic linker through its trigger.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/packaging/triggers)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
include(CPack)
