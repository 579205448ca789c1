# The graphics frame and the boxes in real FLTK windows, each check on its own Xvfb display.
if(KV_FLTK AND TARGET kv_platform_fltk)
  find_program(KV_XVFB_RUN xvfb-run)
  add_executable(gfx_window_check ${CMAKE_CURRENT_LIST_DIR}/gfx_window_check.cpp)
  target_link_libraries(gfx_window_check PRIVATE kv_platform_fltk kv_all)
  if(KV_XVFB_RUN)
    # Each check searches for a free display from its own number, so that checks started
    # together do not race for the same one.
    set(_display 150)
    foreach(_mode draw pointer boxes widgets file timer menu)
      math(EXPR _display "${_display} + 3")
      add_test(NAME xvfb_gfx_${_mode}
               COMMAND ${KV_XVFB_RUN} -a -n ${_display} -s "-screen 0 1280x1024x24"
                       $<TARGET_FILE:gfx_window_check> ${_mode})
      set_tests_properties(xvfb_gfx_${_mode} PROPERTIES LABELS xvfb TIMEOUT 60
        ENVIRONMENT "LSAN_OPTIONS=suppressions=${CMAKE_CURRENT_LIST_DIR}/lsan.supp")
    endforeach()
  endif()
endif()
