# The window, its label widget, the Qt ports and the program, offscreen. One test
# program with its own main (one QApplication); each case runs in a process of its own.
# The program's cases start the browser engine.
find_package(Qt6 6.4 REQUIRED COMPONENTS Test)
find_package(Threads REQUIRED)
find_package(PkgConfig REQUIRED)
pkg_check_modules(WINDOW_TEST_HTTPLIB REQUIRED IMPORTED_TARGET cpp-httplib)
add_executable(window_test
  window_test_main.cpp
  window_test.cpp
  window_test_label.cpp
  window_test_ports.cpp
  window_test_program.cpp
  window_test_support.h
)
target_link_libraries(window_test PRIVATE brevane_platform brevane_test_support GTest::gtest Qt6::Test
                      PkgConfig::WINDOW_TEST_HTTPLIB Threads::Threads)
target_compile_definitions(window_test PRIVATE
  BREVANE_SCREENSHOT_DIR="${CMAKE_CURRENT_BINARY_DIR}/screenshots")
set_target_properties(window_test PROPERTIES AUTOMOC ON)
brevane_target_settings(window_test)
gtest_discover_tests(window_test
  DISCOVERY_TIMEOUT 60
  PROPERTIES
    TIMEOUT 120
    # The main sets the platform and the engine's switches itself. Only one variable
    # here: this command splits a list of them into property names and values.
    ENVIRONMENT "${BREVANE_WEBENGINE_ASAN_OPTIONS}")
