# AddressSanitizer + UndefinedBehaviorSanitizer for the whole tree (tests, libraries, tools).
if(SONDAR_SANITIZE)
  set(_san -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_compile_options(${_san})
  add_link_options(${_san})
  add_compile_definitions(SONDAR_SANITIZED=1)
endif()
