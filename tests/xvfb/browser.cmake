# The file browser in the real window: new files created through it, and the same journey
# through kelvor-script and kelvorantide compared; each check on an Xvfb display of its own.
if(KV_FLTK AND TARGET kv_platform_fltk)
  find_program(KV_XVFB Xvfb)
  add_executable(browser_window_check ${CMAKE_CURRENT_LIST_DIR}/browser_window_check.cpp)
  target_include_directories(browser_window_check PRIVATE ${PROJECT_SOURCE_DIR}/code)
  add_dependencies(browser_window_check kelvorantide kelvor-script kv_fixtures)
  if(KV_XVFB)
    foreach(_mode create same)
      add_test(NAME xvfb_browser_${_mode}
               COMMAND ${CMAKE_CURRENT_LIST_DIR}/on_own_display.sh $<TARGET_FILE:browser_window_check> ${_mode}
                       $<TARGET_FILE:kelvorantide> $<TARGET_FILE:kelvor-script> ${CMAKE_BINARY_DIR}/fixtures)
      set_tests_properties(xvfb_browser_${_mode} PROPERTIES LABELS xvfb TIMEOUT 60
                           ENVIRONMENT "LSAN_OPTIONS=suppressions=${CMAKE_CURRENT_LIST_DIR}/lsan.supp")
    endforeach()
  endif()
endif()
