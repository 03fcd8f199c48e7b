# The fuzz build compiles the libraries the fuzzers drive with the same sanitizers and coverage
# as our own code, so that libFuzzer sees inside them and a fault there is reported where it
# happens. pugixml is compiled from its Debian source package, which scripts/fuzz-sources.sh
# fetches into the folder AR_PUGIXML_SOURCE_DIR names; without it the fuzzers link the
# system's library. stb_image is compiled from libstb-dev's header in fuzz/stb_image.cpp (see
# fuzz/CMakeLists.txt). VLFeat stays the system's library, uninstrumented.
set(AR_PUGIXML_SOURCE_DIR "" CACHE PATH
    "pugixml's source tree, compiled instrumented into the fuzz build (scripts/fuzz-sources.sh)")
if(AR_PUGIXML_SOURCE_DIR AND EXISTS ${AR_PUGIXML_SOURCE_DIR}/src/pugixml.cpp)
  message(STATUS "Fuzzing with pugixml compiled from ${AR_PUGIXML_SOURCE_DIR}")
  add_library(ar_pugixml SHARED ${AR_PUGIXML_SOURCE_DIR}/src/pugixml.cpp)
  target_include_directories(ar_pugixml PUBLIC ${AR_PUGIXML_SOURCE_DIR}/src)
  target_compile_definitions(ar_pugixml
                             PRIVATE "PUGIXML_API=__attribute__((visibility(\"default\")))")
  # Under the name the system's package gives; imported, so that the install rules of the
  # libraries that link it need not install it.
  add_library(pugixml::pugixml INTERFACE IMPORTED GLOBAL)
  target_link_libraries(pugixml::pugixml INTERFACE ar_pugixml)
  # Every find_package(pugixml) of the project finds this target instead of the system's.
  file(WRITE ${CMAKE_FIND_PACKAGE_REDIRECTS_DIR}/pugixml-config.cmake "")
else()
  message(WARNING "No pugixml sources in '${AR_PUGIXML_SOURCE_DIR}': fuzzing with the system's "
                  "pugixml, uninstrumented, so the fuzzers do not see inside it. Run "
                  "scripts/fuzz-sources.sh and point AR_PUGIXML_SOURCE_DIR at the pugixml "
                  "folder it makes (the fuzz preset does: build/sources/pugixml).")
endif()
