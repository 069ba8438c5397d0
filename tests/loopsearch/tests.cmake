# The tests include "platform/ui/ui_services.h", which AUTOUIC would take for a
# form header.
foreach(test LoopSearch LoopSearchOptions LoopWindow)
  if(TARGET loopsearch_${test}Test)
    set_target_properties(loopsearch_${test}Test PROPERTIES AUTOMOC OFF AUTOUIC OFF)
  endif()
endforeach()
