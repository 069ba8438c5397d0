# The widget tests use Qt Test for mouse and key input.
if(TARGET waveform_widgets_WaveformViewTest)
  target_link_libraries(waveform_widgets_WaveformViewTest PRIVATE Qt6::Test)
endif()
