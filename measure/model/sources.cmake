set(_dir ${CMAKE_CURRENT_LIST_DIR})
list(APPEND VISTAMET_CORE_SOURCES
  ${_dir}/bitmap.cpp
)
list(APPEND VISTAMET_CORE_TESTS
  ${_dir}/bitmap_test.cpp
)
