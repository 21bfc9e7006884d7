vistamet_add_bench(bitmap_bench vistamet_model)
vistamet_add_bench(extraction_bench vistamet_model)
vistamet_add_bench(adjustment_bench vistamet_model)
vistamet_add_bench(kernels_bench vistamet_model)
vistamet_add_bench(data_table_bench vistamet_shell)
vistamet_add_bench(geo_batch_bench georeckon_core)
vistamet_add_bench(text_bench vistamet_common)
if(VISTAMET_BUILD_GUI)
  # The image view's paint path; needs a display (xvfb-run).
  vistamet_add_bench(photo_paint_bench vistamet_views)
  # The 3D window's frame time; also needs a display.
  vistamet_add_bench(model_3d_bench vistamet_views)
endif()
vistamet_add_bench(plan_map_bench vistamet_model)
# Optional: the adjustment against a general bundle-adjustment library on
# the same problems, when that library is installed (libceres-dev). Never a
# dependency of the programs.
find_package(Ceres QUIET)
if(Ceres_FOUND)
  vistamet_add_bench(adjustment_ceres_bench vistamet_model Ceres::ceres)
endif()
