// The texts of the plan map window, its dialogs and the symbol library, as
// the user sees them (UTF-8). Part of the program's catalogue (app_texts.h).
#pragma once

namespace vistamet::ui {

// --- Plan map toolbars: "status-bar prompt\ntool tip" ---
inline constexpr char kMapShowDistances[] = "显示测距\n显示测距";
inline constexpr char kMapPlaneDistances[] = "显示投影之后的平面距离\n投影距离";
inline constexpr char kMapShowPoints[] = "显示空间点\n显示空间点";
inline constexpr char kMapShowFeatures[] = "显示物体图示\n显示物体图示";
inline constexpr char kMapLeft[] = "图面左移\n图面左移";
inline constexpr char kMapRight[] = "图面右移\n图面右移";
inline constexpr char kMapUp[] = "图面上移\n图面上移";
inline constexpr char kMapDown[] = "图面下移\n图面下移";
inline constexpr char kMapTurn[] = "图面旋转\n图面旋转";
inline constexpr char kMapTurnX[] = "绕X轴旋转投影图";
inline constexpr char kMapTitleCommand[] = "设置平面图标题\n设置平面图标题";
inline constexpr char kMapModeFeatures[] = "地物编辑状态\n地物编辑";
inline constexpr char kMapModeSpatial[] = "已知空间点之间空间距离测量\n空间距离测量";
inline constexpr char kMapModePlane[] = "任意点之间平面距离测量\n任意平面距离测量";

// --- Plan map file menu ---
inline constexpr char kMapExport[] = "导出平面图(&E)...";
inline constexpr char kMapExportFilter[] =
    "PDF 文件(*.pdf)|*.pdf|SVG 文件(*.svg)|*.svg|DXF 文件(*.dxf)|*.dxf";
inline constexpr char kMapExportFailed[] = "导出失败：%s";

// --- Plan map messages ---
inline constexpr char kFullCircle[] = "您已经旋转了一圈!";
inline constexpr char kPlaneDistanceMeasured[] = "这条距离已经量过!!";
inline constexpr char kPointsTooClose[] = "两点之间距离太小!";
inline constexpr char kSymbolLibraryMissing[] = "不存在或者打开错误！不能创建矢量图类";
inline constexpr char kMapPrintTitle[] = "平面图";

// --- Title dialog ---
inline constexpr char kMapTitleDialog[] = "平面图设置";
inline constexpr char kMapTitleLabel[] = "标题:";
inline constexpr char kMapShowTimeLabel[] = "显示当前时间";

// --- Feature dialog ---
inline constexpr char kFeatureDialog[] = "地物";
inline constexpr char kFeatureType[] = "类型:";
inline constexpr char kFeatureColour[] = "颜色:";
inline constexpr char kFeatureRotation[] = "旋转:";
inline constexpr char kFeatureShift[] = "平移:";
inline constexpr char kFeatureScale[] = "缩放:";
inline constexpr char kFeatureLineWidth[] = "线宽:";
inline constexpr char kFeatureMm[] = "mm";
inline constexpr char kFeaturePreview[] = "预览";

}  // namespace vistamet::ui
