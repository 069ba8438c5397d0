# Widget tests of the main window use Qt Test for key and mouse input. Qt loads
# fontconfig, whose process-long caches LeakSanitizer reports at exit.
foreach(name MainDialog MarkersReservations MenuCommands PlayModes SmallDialogs)
  if(TARGET app_${name}Test)
    target_link_libraries(app_${name}Test PRIVATE Qt6::Test)
    # No .ui files; AUTOUIC would take "platform/ui/ui_services.h" for one.
    set_target_properties(app_${name}Test PROPERTIES AUTOUIC OFF)
    set_property(TEST app/${name} APPEND PROPERTY ENVIRONMENT
                 "LSAN_OPTIONS=suppressions=${CMAKE_CURRENT_LIST_DIR}/lsan.supp")
  endif()
endforeach()
