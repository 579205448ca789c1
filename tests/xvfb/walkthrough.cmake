# The README's walk-through in the real window and in kelvor-script, the two transcripts compared
# line for line; on an Xvfb display of its own, without and under a window manager.
if(KV_FLTK AND TARGET kv_platform_fltk)
  find_program(KV_XVFB Xvfb)
  add_executable(walkthrough_window_check ${CMAKE_CURRENT_LIST_DIR}/walkthrough_window_check.cpp)
  target_include_directories(walkthrough_window_check PRIVATE ${PROJECT_SOURCE_DIR}/code)
  add_dependencies(walkthrough_window_check kelvorantide kelvor-script)
  if(KV_XVFB)
    kv_window_test(xvfb_walkthrough 120 $<TARGET_FILE:walkthrough_window_check> $<TARGET_FILE:kelvorantide>
                   $<TARGET_FILE:kelvor-script> ${PROJECT_SOURCE_DIR}/examples)
  endif()
endif()
