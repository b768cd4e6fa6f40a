# TRACEWELL_SANITIZE applies to every target of the build, so that the core, the
# tests and the prebuilt-library boundaries all run instrumented.
if(TRACEWELL_SANITIZE)
  add_compile_options(-fsanitize=${TRACEWELL_SANITIZE} -fno-omit-frame-pointer
                      -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${TRACEWELL_SANITIZE})
endif()
