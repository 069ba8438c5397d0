# The end-to-end tests run the real executable.
if(TARGET cli_CutEndToEndTest)
  add_dependencies(cli_CutEndToEndTest snipora-cut)
  set_property(TEST cli/CutEndToEnd APPEND PROPERTY ENVIRONMENT "SNIPORA_CUT=$<TARGET_FILE:snipora-cut>")
endif()
