# Warnings apply to our own targets only, through this interface library.
add_library(ar_warnings INTERFACE)
target_compile_options(ar_warnings INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor)
if(AR_WARNINGS_AS_ERRORS)
  target_compile_options(ar_warnings INTERFACE -Werror)
endif()
