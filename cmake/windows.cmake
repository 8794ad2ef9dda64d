# The Windows build, cross-compiled with mingw-w64
# (cmake/mingw-w64-x86_64.cmake) and tested under Wine: the link library as
# libq7mslib.dll with its 29 exports, q7mctl.exe, the editor's logic, and
# their tests that need no simulator, plus an end-to-end run of q7mctl.exe
# against q7msim (a native program) on a pseudo-terminal that Wine sees as a
# COM port.  Built on Windows itself with Qt 6 at hand (-DQ7M_GUI=ON), it
# also builds the editor's window (README, "Windows").

add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)

# The tests run through Wine in this build's own prefix.
if(CMAKE_CROSSCOMPILING AND Q7M_WINE)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run @ONLY
    FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)
endif()

if(Q7M_TESTS)
  enable_testing()
  # GoogleTest from source, built with the cross compiler (Debian's
  # googletest package ships it in /usr/src/googletest).
  set(Q7M_GTEST_SOURCE /usr/src/googletest/googletest CACHE PATH "GoogleTest's source folder")
  if(EXISTS ${Q7M_GTEST_SOURCE}/CMakeLists.txt)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(${Q7M_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)  # makes GTest::gtest
  else()
    find_package(GTest REQUIRED)
  endif()
  include(GoogleTest)
endif()

# q7m_add_test(NAME SOURCES... LIBS libs...), as in the main build; the
# test list is read when CTest runs (through Wine), not at build time.
function(q7m_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;PROPERTIES" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120 PROPERTIES ${T_PROPERTIES})
endfunction()

# The window, where Qt 6 for Windows is installed (not in the cross build:
# Debian has no Qt for Windows).
set(Q7M_HAVE_QT FALSE)
if(NOT CMAKE_CROSSCOMPILING AND NOT Q7M_GUI STREQUAL "OFF")
  if(Q7M_GUI STREQUAL "ON")
    find_package(Qt6 REQUIRED COMPONENTS Widgets)
  else()
    find_package(Qt6 QUIET COMPONENTS Widgets)
  endif()
  set(Q7M_HAVE_QT ${Qt6_FOUND})
endif()

add_subdirectory(linklib)

# The editor's logic: its own test list, below (the main build's editor
# tests use POSIX calls of their own).
set(Q7M_TESTS_SAVED ${Q7M_TESTS})
set(Q7M_TESTS OFF)
add_subdirectory(editor)
set(Q7M_TESTS ${Q7M_TESTS_SAVED})

add_subdirectory(tools)

if(Q7M_TESTS)
  # The editor's unit tests that need neither a simulator nor a folder of
  # their own, against the scripted library, message boxes and clock.
  add_library(zelk_test_harness STATIC tests/support/editor_harness.cpp linklib/tests/temp_dir_win32.cpp)
  target_include_directories(zelk_test_harness PUBLIC tests/support PRIVATE linklib/tests)
  target_link_libraries(zelk_test_harness PUBLIC zelk_core GTest::gtest)
  q7m_add_test(test_editor_core
    SOURCES editor/tests/test_controls.cpp editor/tests/test_record.cpp editor/tests/test_channel_ops.cpp
            editor/tests/test_connection.cpp editor/tests/test_tab_controls.cpp editor/tests/test_link_thread.cpp
    LIBS zelk_test_harness)

  # The DLL as a program on Windows finds it: loaded by name, 29 names
  # resolved, nothing else exported, no runtime DLL of the compiler needed.
  q7m_add_test(test_dll
    SOURCES linklib/tests/test_dll_win32.cpp
    LIBS q7mslib_headers)
  add_dependencies(test_dll q7mslib)

  # q7mctl.exe under Wine against q7msim on a pseudo-terminal linked as
  # COM12.  q7msim is a Linux program: give the main build's with
  # -DQ7M_NATIVE_BIN=.../build/bin (scripts/windows.sh does).
  set(Q7M_NATIVE_BIN "" CACHE PATH "A native build's bin folder (q7msim, q7mctl) for the end-to-end test")
  if(Q7M_NATIVE_BIN AND CMAKE_CROSSCOMPILING_EMULATOR)
    add_test(NAME wine_q7mctl_end_to_end
      COMMAND ${CMAKE_SOURCE_DIR}/tools/tests/wine_end_to_end.sh
              ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:q7mctl> ${Q7M_NATIVE_BIN})
    set_tests_properties(wine_q7mctl_end_to_end PROPERTIES TIMEOUT 300 RUN_SERIAL TRUE
      SKIP_RETURN_CODE 77)
  else()
    message(STATUS "No native build given (-DQ7M_NATIVE_BIN): the end-to-end test of q7mctl.exe is left out")
  endif()
endif()
