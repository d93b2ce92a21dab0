# The plain C++ unit tests: no Qt, so the same list also builds for Windows (tests/windows).
# Expects the targets kd_image and kd_export and GTest::gtest_main.
set(T ${CMAKE_CURRENT_LIST_DIR})

add_executable(image_tests ${T}/image_file_test.cpp ${T}/safe_file_test.cpp ${T}/header_test.cpp
  ${T}/event_record_test.cpp ${T}/key_session_test.cpp ${T}/file_checks_test.cpp ${T}/sha256_test.cpp)
target_include_directories(image_tests PRIVATE ${T})
target_compile_definitions(image_tests PRIVATE KD_SAMPLES="${T}/../samples")
target_link_libraries(image_tests PRIVATE kd_image GTest::gtest_main)

add_executable(report_tests ${T}/text_table_test.cpp ${T}/number_text_test.cpp ${T}/load_spectrum_test.cpp
  ${T}/data1_test.cpp ${T}/csv_writer_test.cpp ${T}/data2_test.cpp ${T}/summary_test.cpp ${T}/report_heading_test.cpp)
target_include_directories(report_tests PRIVATE ${T})
target_link_libraries(report_tests PRIVATE kd_export GTest::gtest_main)

# Exported files, read back by real clients where they are installed.
add_executable(writer_tests ${T}/writers_test.cpp ${T}/pdf_writer_test.cpp)
target_include_directories(writer_tests PRIVATE ${T})
target_compile_definitions(writer_tests PRIVATE KD_TEST_SOURCE_DIR="${T}" KD_SAMPLES="${T}/../samples")
target_link_libraries(writer_tests PRIVATE kd_export GTest::gtest_main)

# A cross build runs them under Wine, each program whole, from tests/windows_test.sh.
if(NOT CMAKE_CROSSCOMPILING)
  gtest_discover_tests(image_tests DISCOVERY_TIMEOUT 60)
  gtest_discover_tests(report_tests DISCOVERY_TIMEOUT 60)
  gtest_discover_tests(writer_tests DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300)
endif()
unset(T)
