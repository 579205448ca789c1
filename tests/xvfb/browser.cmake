# The file browser in the real window: new files created through it, and the same journey
# through kelvor-script and kelvorantide compared; each check on an Xvfb display of its own,
# without and under a window manager.
if(KV_FLTK AND TARGET kv_platform_fltk)
  find_program(KV_XVFB Xvfb)
  add_executable(browser_window_check ${CMAKE_CURRENT_LIST_DIR}/browser_window_check.cpp)
  target_include_directories(browser_window_check PRIVATE ${PROJECT_SOURCE_DIR}/code)
  add_dependencies(browser_window_check kelvorantide kelvor-script kv_fixtures)
  if(KV_XVFB)
    foreach(_mode create same)
      kv_window_test(xvfb_browser_${_mode} 60 $<TARGET_FILE:browser_window_check> ${_mode}
                     $<TARGET_FILE:kelvorantide> $<TARGET_FILE:kelvor-script> ${CMAKE_BINARY_DIR}/fixtures)
    endforeach()
  endif()
endif()
