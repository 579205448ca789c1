# The program's widget kinds in a real window, and kelvorantide itself driven through the main
# road; each check on an Xvfb display of its own, without and under a window manager
# (kv_window_test), label xvfb.
if(KV_FLTK AND TARGET kv_platform_fltk)
  find_program(KV_XVFB Xvfb)
  add_executable(widget_kinds_check ${CMAKE_CURRENT_LIST_DIR}/widget_kinds_check.cpp)
  target_link_libraries(widget_kinds_check PRIVATE kv_platform_fltk kv_all)

  add_executable(mainroad_window_check ${CMAKE_CURRENT_LIST_DIR}/mainroad_window_check.cpp)
  target_include_directories(mainroad_window_check PRIVATE ${PROJECT_SOURCE_DIR}/code)
  # It runs the programs and the fixture generator: build them with it.
  add_dependencies(mainroad_window_check kelvorantide kelvor-script kelvor-gen kv_fixtures)
  # It presses close boxes as a window manager passes them on (plain Xlib).
  find_package(X11 REQUIRED)
  target_link_libraries(mainroad_window_check PRIVATE ${X11_LIBRARIES})
  target_include_directories(mainroad_window_check PRIVATE ${X11_INCLUDE_DIR})

  if(KV_XVFB)
    foreach(_mode layout clicks)
      kv_window_test(xvfb_widget_${_mode} 60 $<TARGET_FILE:widget_kinds_check> ${_mode})
    endforeach()
    set(_road $<TARGET_FILE:kelvorantide> $<TARGET_FILE:kelvor-script> $<TARGET_FILE:kelvor-gen>
              ${CMAKE_BINARY_DIR}/fixtures ${PROJECT_SOURCE_DIR}/tests/fixtures/specs/mainroad.spec)
    foreach(_mode road stop)
      kv_window_test(xvfb_mainroad_${_mode} 60 $<TARGET_FILE:mainroad_window_check> ${_mode} ${_road})
    endforeach()
    # Passes over thousands of reflections (the main road's twenty, repeated: 16,000, long enough
    # to be stopped while they run); the sanitizer build fits far slower and runs shorter ones.
    if(KV_SANITIZE)
      set(_stopstart 30)
      set(_long 40)
    else()
      set(_stopstart 800)
      set(_long 800)
    endif()
    kv_window_test(xvfb_mainroad_stopstart 180 $<TARGET_FILE:mainroad_window_check> stopstart ${_road} ${_stopstart})
    kv_window_test(xvfb_mainroad_long 180 $<TARGET_FILE:mainroad_window_check> long ${_road} ${_long})
    # Touching the window while a pass runs: the close box of the fitting dialog, the greyed
    # menu bar, a search typed into its entry; what the step-size box cannot read; the close
    # box of the FWHM dialog.
    foreach(_mode closebox menubar search)
      kv_window_test(xvfb_mainroad_${_mode} 180 $<TARGET_FILE:mainroad_window_check> ${_mode} ${_road} ${_stopstart})
    endforeach()
    foreach(_mode step fwhm cellesd)
      kv_window_test(xvfb_mainroad_${_mode} 60 $<TARGET_FILE:mainroad_window_check> ${_mode} ${_road})
    endforeach()
  endif()
endif()
