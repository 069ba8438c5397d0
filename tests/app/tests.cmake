# Widget tests of the main window use Qt Test for key and mouse input.
foreach(name Language MainDialog MarkersReservations MenuCommands PlayModes RangeListCommands SmallDialogs
             SoundFinders WaveformEditing
             WindowInput)
  if(TARGET app_${name}Test)
    target_link_libraries(app_${name}Test PRIVATE Qt6::Test)
  endif()
endforeach()

# The translation check runs Qt's lupdate over the sources.
if(TARGET app_TranslationsTest)
  target_link_libraries(app_TranslationsTest PRIVATE Qt6::Core)
  target_compile_definitions(app_TranslationsTest PRIVATE
    SNIPORA_LUPDATE="$<TARGET_FILE:Qt6::lupdate>")
endif()
