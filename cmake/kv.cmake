# One CMake library per source folder: every .cpp directly in the folder is part of it.
add_library(kv_runtime_headers INTERFACE)
target_include_directories(kv_runtime_headers INTERFACE ${PROJECT_SOURCE_DIR}/code)

function(kv_library name dir deps)
  file(GLOB _src CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${dir}/*.cpp)
  if(NOT _src)
    # A folder without sources yet still gives a (empty) library, so the link group below holds.
    set(_src ${CMAKE_BINARY_DIR}/kv_empty_${name}.cpp)
    file(WRITE ${_src} "// no sources yet\n")
  endif()
  add_library(${name} STATIC ${_src})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/code)
  target_link_libraries(${name} PUBLIC ${deps})
endfunction()

# One GoogleTest executable per test folder, registered with CTest.
function(kv_test_suite name dir deps)
  file(GLOB _src CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${dir}/*.cpp)
  if(_src)
    add_executable(${name} ${_src})
    target_link_libraries(${name} PRIVATE ${deps} GTest::gtest GTest::gmock GTest::gtest_main)
    target_compile_definitions(${name} PRIVATE
      KV_SOURCE_DIR="${PROJECT_SOURCE_DIR}" KV_BINARY_DIR="${PROJECT_BINARY_DIR}")
    gtest_discover_tests(${name} WORKING_DIRECTORY ${PROJECT_BINARY_DIR} DISCOVERY_TIMEOUT 300)
  endif()
endfunction()
