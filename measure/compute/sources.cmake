set(_dir ${CMAKE_CURRENT_LIST_DIR})
list(APPEND VISTAMET_CORE_SOURCES
  ${_dir}/bundle_adjuster.cpp
  ${_dir}/camera_model.cpp
  ${_dir}/orientation.cpp
  ${_dir}/symmetric_solver.cpp
  ${_dir}/corresponding_points.cpp
  ${_dir}/lsm_matching.cpp
)
list(APPEND VISTAMET_CORE_TESTS
  ${_dir}/bundle_adjuster_test.cpp
  ${_dir}/camera_model_test.cpp
  ${_dir}/orientation_test.cpp
  ${_dir}/symmetric_solver_test.cpp
  ${_dir}/corresponding_points_test.cpp
  ${_dir}/lsm_matching_test.cpp
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

# Bundle adjustment core and its reports, distance checks.
list(APPEND VISTAMET_CORE_SOURCES
  ${_dir}/adjustment.cpp
  ${_dir}/distance_check.cpp
)
list(APPEND VISTAMET_CORE_TESTS
  ${_dir}/adjustment_test.cpp
  ${_dir}/distance_check_test.cpp
)
