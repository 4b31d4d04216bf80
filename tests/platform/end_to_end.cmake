# The whole program in one process: the real window, real WebEngine pages and the
# stand-in sites on loopback.
find_package(Qt6 6.4 REQUIRED COMPONENTS Core Gui Widgets WebEngineCore)

# One test program with its own main (one QApplication, one set of sites for every
# scenario), registered as a single test so the browser engine starts once.
add_executable(end_to_end_test end_to_end_test.cpp end_to_end_harness.cpp end_to_end_harness.h)
target_link_libraries(end_to_end_test PRIVATE brevane_platform brevane_standin GTest::gtest)
target_include_directories(end_to_end_test PRIVATE ${PROJECT_SOURCE_DIR})
target_compile_definitions(end_to_end_test PRIVATE
  BREVANE_E2E_SCREENSHOT_DIR="${CMAKE_CURRENT_BINARY_DIR}/end_to_end_screenshots")
brevane_target_settings(end_to_end_test)
add_test(NAME end_to_end_test COMMAND end_to_end_test)
set_tests_properties(end_to_end_test PROPERTIES
  TIMEOUT 600
  LABELS webengine
  ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QTWEBENGINE_DISABLE_SANDBOX=1;${BREVANE_WEBENGINE_ASAN_OPTIONS}")
