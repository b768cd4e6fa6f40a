# TRACEWELL_SANITIZE applies to every target of the build, so that the core, the
# tests and the prebuilt-library boundaries all run instrumented.
if(TRACEWELL_SANITIZE)
  add_compile_options(-fsanitize=${TRACEWELL_SANITIZE} -fno-omit-frame-pointer
                      -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${TRACEWELL_SANITIZE})
  # Clang 14 cannot emit the function-type check into coroutine frames ("Cannot
  # represent a difference across sections"); the recorder's proxy is coroutines.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang" AND TRACEWELL_SANITIZE MATCHES "undefined")
    add_compile_options(-fno-sanitize=function)
  endif()
endif()
