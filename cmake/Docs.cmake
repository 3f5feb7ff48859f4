# `make docs`: the API reference from the public headers' own comments, with
# Doxygen, into the build folder's docs/html. Any warning fails the target.
find_program(KZM_DOXYGEN doxygen)
if(KZM_DOXYGEN)
  set(KZM_DOCS_INPUT "")
  foreach(layer IN LISTS KZM_PUBLIC_LAYERS)
    string(APPEND KZM_DOCS_INPUT " \"${PROJECT_SOURCE_DIR}/${layer}\"")
  endforeach()
  configure_file(${PROJECT_SOURCE_DIR}/docs/Doxyfile.in ${PROJECT_BINARY_DIR}/Doxyfile @ONLY)
  add_custom_target(docs
    COMMAND ${KZM_DOXYGEN} ${PROJECT_BINARY_DIR}/Doxyfile
    WORKING_DIRECTORY ${PROJECT_BINARY_DIR}
    COMMENT "Writing the API reference to ${PROJECT_BINARY_DIR}/docs/html"
    VERBATIM)
endif()
