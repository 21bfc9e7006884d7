set(_dir ${CMAKE_CURRENT_LIST_DIR})
list(APPEND VISTAMET_CORE_SOURCES
)
list(APPEND VISTAMET_CORE_TESTS
)

# Target extraction.
list(APPEND VISTAMET_CORE_SOURCES
  ${_dir}/triangle_finder.cpp
  ${_dir}/rectangle_corners.cpp
  ${_dir}/extraction_job.cpp
  ${_dir}/extraction_runner.cpp
)
list(APPEND VISTAMET_CORE_TESTS
  ${_dir}/triangle_finder_test.cpp
  ${_dir}/rectangle_corners_test.cpp
  ${_dir}/extraction_job_test.cpp
  ${_dir}/extraction_runner_test.cpp
)
