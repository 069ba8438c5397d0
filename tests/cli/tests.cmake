# The end-to-end and fault tests run the real executable.
foreach(name CutEndToEnd CutFault ForeignSources LargeFile ManySources)
  if(TARGET cli_${name}Test)
    add_dependencies(cli_${name}Test snipora-cut)
    set_property(TEST cli/${name} APPEND PROPERTY ENVIRONMENT "SNIPORA_CUT=$<TARGET_FILE:snipora-cut>")
  endif()
endforeach()

# Writes more than 4 GiB: run once by `make test`, left out of the repeated and
# sanitizer runs (ctest -LE large).
if(TARGET cli_LargeFileTest)
  set_tests_properties(cli/LargeFile PROPERTIES LABELS large)
endif()
