# Widget tests of the main window use Qt Test for key and mouse input.
foreach(name MainDialog MarkersReservations MenuCommands PlayModes RangeListCommands SmallDialogs
             WindowInput)
  if(TARGET app_${name}Test)
    target_link_libraries(app_${name}Test PRIVATE Qt6::Test)
  endif()
endforeach()
