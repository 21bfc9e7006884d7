// The one-line descriptions of the current ellipsoid and angle units that the
// document holds and that every function dialog shows at its top.
#pragma once

#include <string>

#include "geotools/compute/angle_unit.h"
#include "geotools/compute/ellipsoid.h"

namespace georeckon {

// The document's: "参数设置：<ellipsoid>,角度单位:输入  (<in>)  ,  输出  (<out>)".
std::string DocumentParamDescription(const EllipsoidParams& e, int32_t input_unit,
                                     int32_t output_unit);

// Cartesian conversion, geodetic problems, Gauss projection:
// "<ellipsoid>   角度单位:输入  (<in>)  ,  输出  (<out>)".
std::string DialogParamDescription(const EllipsoidParams& e, int32_t input_unit,
                                   int32_t output_unit);

// Plane problems (no ellipsoid): "角度单位:输入  (<in>)  ,  输出  (<out>)".
std::string PlaneParamDescription(int32_t input_unit, int32_t output_unit);

// Zone change (no angles): the ellipsoid description alone.
std::string ZoneChangeParamDescription(const EllipsoidParams& e);

}  // namespace georeckon
