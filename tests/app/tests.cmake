# Widget tests of the main window use Qt Test for key and mouse input.
foreach(name MainDialogTest MarkersReservationsTest PlayModesTest SmallDialogsTest)
  if(TARGET app_${name})
    target_link_libraries(app_${name} PRIVATE Qt6::Test)
    set_target_properties(app_${name} PROPERTIES AUTOUIC OFF)
  endif()
endforeach()
