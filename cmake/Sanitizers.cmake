# A sanitizer build instruments every target of the project alike.
if(AR_SANITIZE)
  # -g1: line tables only. A sanitizer's report names file:line for every frame, inlined ones
  # included, from line tables alone; full debug info costs a quarter more compile time in
  # these builds and only a debugger reads it (the dev build keeps it).
  add_compile_options(-fsanitize=${AR_SANITIZE} -fno-omit-frame-pointer -g1)
  add_link_options(-fsanitize=${AR_SANITIZE})
  # ThreadSanitizer at -O1: instrumented code at -O0 runs many times slower, and -O1 compiles
  # faster than the -O2 of an optimised build. (AddressSanitizer stays at -O0: at -O1 its
  # instrumented build takes half as long again, more than its tests save.) GCC's flow analysis
  # then sees the instrumented std::regex and std::function as reading uninitialised members;
  # the dev and release builds check the same code without instrumentation and keep that warning.
  if(AR_SANITIZE MATCHES "thread")
    add_compile_options(-O1)
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
      add_compile_options(-Wno-maybe-uninitialized)
    endif()
  endif()
  if(AR_SANITIZE MATCHES "undefined")
    add_compile_options(-fno-sanitize-recover=undefined)
    # Without the null and alignment checks: they guard every member access, and their
    # per-site records made three quarters of the instrumented tool's writable data (23 MB that
    # every start of artargets relocates, ~0.1 s each under the ~900 starts of its tests) and a
    # quarter of its compile time. AddressSanitizer reports a null dereference as the fault it
    # causes, with its stack; the one object kept in raw bytes (PackedProperties' symbol cell)
    # has storage declared alignas its type. The fuzzers keep every check.
    if(NOT AR_SANITIZE MATCHES "fuzzer")
      add_compile_options(-fno-sanitize=null,alignment)
    endif()
  endif()
endif()
