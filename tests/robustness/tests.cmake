# Sanitizer builds: every test reads the leak suppressions for third-party
# libraries, and undefined behaviour prints its stack before aborting.
if(SNIPORA_SANITIZE)
  get_property(all_tests DIRECTORY PROPERTY TESTS)
  foreach(test ${all_tests})
    set_property(TEST ${test} APPEND PROPERTY ENVIRONMENT
      "LSAN_OPTIONS=suppressions=${CMAKE_CURRENT_LIST_DIR}/lsan_suppressions.txt:print_suppressions=0"
      "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
  endforeach()
endif()

# The command-line fault tests run the real executable.
if(TARGET cli_CutFaultTest)
  add_dependencies(cli_CutFaultTest snipora-cut)
  set_property(TEST cli/CutFault APPEND PROPERTY ENVIRONMENT "SNIPORA_CUT=$<TARGET_FILE:snipora-cut>")
endif()
