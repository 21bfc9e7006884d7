set(_dir ${CMAKE_CURRENT_LIST_DIR})
list(APPEND VISTAMET_CORE_SOURCES
  ${_dir}/bitmap.cpp
  ${_dir}/vistamet_doc.cpp
  ${_dir}/project_file.cpp
  ${_dir}/adjust_command.cpp
  ${_dir}/extract_command.cpp
  ${_dir}/sample_project.cpp
)
list(APPEND VISTAMET_CORE_TESTS
  ${_dir}/test_support.cpp
  ${_dir}/bitmap_test.cpp
  ${_dir}/vistamet_doc_test.cpp
  ${_dir}/project_file_test.cpp
  ${_dir}/adjust_command_test.cpp
  ${_dir}/extract_command_test.cpp
)
