# A sanitizer build instruments every target of the project alike.
if(AR_SANITIZE)
  # -g1: line tables only. A sanitizer's report names file:line for every frame, inlined ones
  # included, from line tables alone; full debug info costs a quarter more compile time in
  # these builds and only a debugger reads it (the dev build keeps it).
  add_compile_options(-fsanitize=${AR_SANITIZE} -fno-omit-frame-pointer -g1)
  add_link_options(-fsanitize=${AR_SANITIZE})
  if(AR_SANITIZE MATCHES "undefined")
    add_compile_options(-fno-sanitize-recover=undefined)
  endif()
endif()
