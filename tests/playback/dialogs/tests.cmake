# Qt loads fontconfig, whose process-long caches LeakSanitizer reports at exit.
foreach(name VolumeDlg SpeedDlg)
  if(TEST playback/dialogs/${name})
    set_property(TEST playback/dialogs/${name} APPEND PROPERTY ENVIRONMENT
                 "LSAN_OPTIONS=suppressions=${CMAKE_CURRENT_LIST_DIR}/lsan.supp")
  endif()
endforeach()
