# The graphics frame and the boxes in real FLTK windows, each check on its own Xvfb display.
if(KV_FLTK AND TARGET kv_platform_fltk)
  find_program(KV_XVFB Xvfb)
  add_executable(gfx_window_check ${CMAKE_CURRENT_LIST_DIR}/gfx_window_check.cpp)
  target_link_libraries(gfx_window_check PRIVATE kv_platform_fltk kv_all)
  if(KV_XVFB)
    # Each check on a display that Xvfb itself chose free, so that checks started together
    # never share one; without and under a window manager.
    foreach(_mode draw pointer boxes boxdefault widgets file timer menu)
      kv_window_test(xvfb_gfx_${_mode} 60 $<TARGET_FILE:gfx_window_check> ${_mode})
    endforeach()
  endif()
endif()
