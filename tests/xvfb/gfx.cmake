# The graphics frame and the boxes in real FLTK windows, each check on its own Xvfb display.
if(KV_FLTK AND TARGET kv_platform_fltk)
  find_program(KV_XVFB Xvfb)
  add_executable(gfx_window_check ${CMAKE_CURRENT_LIST_DIR}/gfx_window_check.cpp)
  target_link_libraries(gfx_window_check PRIVATE kv_platform_fltk kv_all)
  if(KV_XVFB)
    # Each check on a display that Xvfb itself chose free, so that checks started together
    # never share one.
    foreach(_mode draw pointer boxes widgets file timer menu)
      add_test(NAME xvfb_gfx_${_mode}
               COMMAND ${CMAKE_CURRENT_LIST_DIR}/on_own_display.sh $<TARGET_FILE:gfx_window_check> ${_mode})
      set_tests_properties(xvfb_gfx_${_mode} PROPERTIES LABELS xvfb TIMEOUT 60
        ENVIRONMENT "LSAN_OPTIONS=suppressions=${CMAKE_CURRENT_LIST_DIR}/lsan.supp")
    endforeach()
  endif()
endif()
