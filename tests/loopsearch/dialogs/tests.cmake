# No forms; AUTOUIC would take "platform/ui/ui_services.h" for a form header.
foreach(test LoopSearchDlg)
  if(TARGET loopsearch_dialogs_${test}Test)
    set_target_properties(loopsearch_dialogs_${test}Test PROPERTIES AUTOMOC OFF AUTOUIC OFF)
  endif()
endforeach()
