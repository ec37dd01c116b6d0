# LUMOX_SANITIZE=address,undefined or thread instruments every target.
if(LUMOX_SANITIZE)
  set(_flags -fsanitize=${LUMOX_SANITIZE} -fno-omit-frame-pointer -g)
  if(LUMOX_SANITIZE MATCHES "undefined")
    list(APPEND _flags -fno-sanitize-recover=undefined)
  endif()
  add_compile_options(${_flags})
  add_link_options(-fsanitize=${LUMOX_SANITIZE})
endif()
