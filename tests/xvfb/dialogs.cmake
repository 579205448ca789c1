# The program's dialogs and scan plot as its start-up builds them, in real FLTK windows: texts fit
# their boxes, the plot stays inside its frame.
if(KV_FLTK AND TARGET kv_platform_fltk)
  find_program(KV_XVFB Xvfb)
  add_executable(dialogs_window_check ${CMAKE_CURRENT_LIST_DIR}/dialogs_window_check.cpp)
  target_link_libraries(dialogs_window_check PRIVATE kv_platform_fltk kv_all)
  target_include_directories(dialogs_window_check PRIVATE ${PROJECT_SOURCE_DIR}/code)
  if(KV_XVFB)
    kv_window_test(xvfb_dialog_texts 60 $<TARGET_FILE:dialogs_window_check>)
  endif()
endif()
