#include "geotools/compute/param_description.h"

namespace georeckon {

namespace {

std::string UnitsText(int32_t input_unit, int32_t output_unit) {
  return std::string("角度单位:输入  (") + AngleUnitName(input_unit) + ")  ,  输出  (" +
         AngleUnitName(output_unit) + ")";
}

}  // namespace

std::string DocumentParamDescription(const EllipsoidParams& e, int32_t input_unit,
                                     int32_t output_unit) {
  return "参数设置：" + EllipsoidDescription(e) + "," + UnitsText(input_unit, output_unit);
}

std::string DialogParamDescription(const EllipsoidParams& e, int32_t input_unit,
                                   int32_t output_unit) {
  return EllipsoidDescription(e) + "   " + UnitsText(input_unit, output_unit);
}

std::string PlaneParamDescription(int32_t input_unit, int32_t output_unit) {
  return UnitsText(input_unit, output_unit);
}

std::string ZoneChangeParamDescription(const EllipsoidParams& e) {
  return EllipsoidDescription(e);
}

}  // namespace georeckon
