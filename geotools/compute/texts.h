// The fixed user-visible texts of the coordinate tools (UTF-8), shared by the
// window program and georeckon-cli. The computations return status codes;
// the front ends pick the text from here.
#pragma once

namespace georeckon::texts {

// Angle units, in the order of their values.
inline constexpr const char* kAngleUnitNames[3] = {"弧度", "度.分分秒秒", "度"};

// Ellipsoid names used in descriptions, by type (0 custom, 1..4 presets).
inline constexpr const char* kEllipsoidNames[5] = {"自定义椭球", "WGS84椭球", "北京54椭球",
                                                   "西安80椭球", "CGCS2000椭球"};
// Ellipsoid choices of the parameter dialog, by type.
inline constexpr const char* kEllipsoidChoices[5] = {"自定义...", "WGS84", "北京54", "西安80",
                                                     "CGCS2000"};

// Files.
inline constexpr const char kOpenFileError[] = "打开文件错误!";
inline constexpr const char kCreateFileError[] = "创建文件错误!";
inline constexpr const char kWriteFileError[] = "写文件错误!";
inline constexpr const char kSameFileError[] = "保存到的文件不能是待处理文件本身！";
inline constexpr const char kWrongFormatFile[] = "请选择正确格式的文件！";
inline constexpr const char kNotGrkFile[] = "It's not the file type for GeoReckon!";
inline constexpr const char kDamagedGrkFile[] = "文件已损坏，无法读取！";
inline constexpr const char kOutOfMemory[] = "Failure in memory applying!";

// Computations.
inline constexpr const char kNegativeDistance[] = "距离不能为负值，请确认！";
inline constexpr const char kNotFiniteInput[] = "输入值不是有限数，无法解算！";
inline constexpr const char kNotFiniteResult[] = "计算结果不是有限数，无法输出！";
inline constexpr const char kLineTooShort[] = "行太短，不是数据行";
inline constexpr const char kLineMissingFields[] = "缺少数据项或数据项不是数";
inline constexpr const char kNoConvergence[] = "迭代不收敛（两点接近对跖），无法解算！";
inline constexpr const char kLongitudeOver3[] =
    "待投影点经度与中央子午线相差超过了3度，可能会产生较大误差！";
inline constexpr const char kOutsideZone[] =
    "有点距中央子午线超过了本带范围（6度带3.5度，3度带2度），可能会产生较大误差！";
inline constexpr const char kPrefixMismatch[] = "有点y坐标的带号与所选的中央子午线不符！";
inline constexpr const char kNoZonePrefix[] = "y坐标没有有效的带号，无法确定中央子午线！";
inline constexpr const char kMeridiansOver6[] = "两中央子午线相差超过了6度，可能会产生较大误差！";
inline constexpr const char kNeedThreePoints[] = "请输入三个公共点坐标！";
inline constexpr const char kNeedOnePoint[] = "请至少输入一个点！";
inline constexpr const char kSevenSolveFailed[] = "Failure in Normal Equation solving";
inline constexpr const char kFourSolveFailed[] = "Failure in Normal Equation solving!";
inline constexpr const char kNotInvertible[] = "err**not inv\n";

// Framework-style entry messages.
inline constexpr const char kEnterNumber[] = "请键入一个数。";
inline constexpr const char kEnterNumberBetween[] = "请填入一个在%1和%2之间的数字。";

// Files written by the parameter solvers.
inline constexpr const char kCommonPointsHeading[] = "所求参数使用的公共点为:";

// Column headers of the common-point tables (leading blanks included).
inline constexpr const char* kSevenTableHeaders[7] = {"     点名  ", "        X", "        Y",
                                                      "        Z",  "        X'", "        Y'",
                                                      "        Z'"};
inline constexpr const char* kFourTableHeaders[5] = {"     点名  ", "        x", "        y",
                                                     "        x'", "        y'"};

}  // namespace georeckon::texts
