# The end-to-end and fault tests run the real executable.
foreach(name CutEndToEnd CutFault ForeignSources)
  if(TARGET cli_${name}Test)
    add_dependencies(cli_${name}Test snipora-cut)
    set_property(TEST cli/${name} APPEND PROPERTY ENVIRONMENT "SNIPORA_CUT=$<TARGET_FILE:snipora-cut>")
  endif()
endforeach()
