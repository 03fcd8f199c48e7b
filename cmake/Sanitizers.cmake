# A sanitizer build instruments every target of the project alike.
if(AR_SANITIZE)
  add_compile_options(-fsanitize=${AR_SANITIZE} -fno-omit-frame-pointer -g)
  add_link_options(-fsanitize=${AR_SANITIZE})
  if(AR_SANITIZE MATCHES "undefined")
    add_compile_options(-fno-sanitize-recover=undefined)
  endif()
endif()
