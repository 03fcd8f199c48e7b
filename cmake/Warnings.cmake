# Warnings apply to our own targets only, through this interface library.
add_library(ar_warnings INTERFACE)
target_compile_options(ar_warnings INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor)
if(AR_WARNINGS_AS_ERRORS)
  target_compile_options(ar_warnings INTERFACE -Werror)
endif()
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  # GCC 12 reports impossible overlaps in std::string concatenation when optimising
  # (GCC bug 105329); the warning finds nothing real in this code.
  target_compile_options(ar_warnings INTERFACE -Wno-restrict)
endif()
