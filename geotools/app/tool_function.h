// The ten functions of GeoReckon, in the order of the "坐标系统(&C)" menu
// ("&0" … "&9"). The order is also that of the function tables in
// app_texts and of the menu's command ids.
#pragma once

namespace georeckon {

enum class ToolFunction : int {
  kParams,            // 参数设置
  kBlhXyz,            // 空间直角坐标与大地坐标转换
  kGeodetic,          // 大地主题解算
  kPlaneCoordinates,  // 平面坐标解算
  kGauss,             // 高斯投影正反算
  kZoneChange,        // 高斯投影换带计算
  kSevenSolve,        // 空间坐标转换参数求解
  kSevenApply,        // 空间直角坐标转换
  kFourSolve,         // 平面坐标转换参数求解
  kFourApply,         // 平面直角坐标转换
};

inline constexpr ToolFunction kToolFunctions[] = {
    ToolFunction::kParams,           ToolFunction::kBlhXyz,     ToolFunction::kGeodetic,
    ToolFunction::kPlaneCoordinates, ToolFunction::kGauss,      ToolFunction::kZoneChange,
    ToolFunction::kSevenSolve,       ToolFunction::kSevenApply, ToolFunction::kFourSolve,
    ToolFunction::kFourApply,
};

// The function's place in the menu, 0 … 9.
constexpr int MenuIndex(ToolFunction function) { return static_cast<int>(function); }

}  // namespace georeckon
