// Every fixed text of the GeoReckon windows (UTF-8). Texts that the core also
// uses (unit names, ellipsoid names, file and computation messages, table
// headers) come from geotools/compute/texts.h and are not repeated here.
// Convert with wxString::FromUTF8 (see Wx() in ui_services.h).
#pragma once

#include "geotools/app/tool_function.h"

namespace georeckon::app_texts {

// The program.
inline constexpr const char kProgramName[] = "GeoReckon";
inline constexpr const char kAboutTitle[] = "关于 GeoReckon";
inline constexpr const char kAboutVersion[] = "GeoReckon 1.0 版";
inline constexpr const char kAboutLine[] = "大地测量坐标及其相关计算程序";

// The document type.
inline constexpr const char kDocDescription[] = "GeoReckon 文件";
inline constexpr const char kDocFilter[] = "*.grk";
inline constexpr const char kDocExtension[] = "grk";
inline constexpr const char kDocTypeName[] = "GeoReckon.Document";
inline constexpr const char kViewTypeName[] = "GeoReckon.View";
inline constexpr const char kUntitledBase[] = "GeoReckon";
inline constexpr const char kAskToSave[] = "将改动保存到 %1？";
inline constexpr const char kOpenTitle[] = "打开";
inline constexpr const char kSaveAsTitle[] = "另存为";

// Menus. The Chinese item texts carry their mnemonics and accelerators.
inline constexpr const char kMenuFile[] = "文件(&F)";
inline constexpr const char kFileNew[] = "新建(&N)\tCtrl+N";
inline constexpr const char kFileOpen[] = "打开(&O)...\tCtrl+O";
inline constexpr const char kFileClose[] = "关闭(&C)";
inline constexpr const char kFileSave[] = "保存(&S)\tCtrl+S";
inline constexpr const char kFileSaveAs[] = "另存为(&A)...";
inline constexpr const char kFilePrint[] = "打印(&P)...\tCtrl+P";
inline constexpr const char kFilePreview[] = "打印预览(&V)";
inline constexpr const char kFilePrintSetup[] = "打印设置(&R)...";
inline constexpr const char kFileExit[] = "退出(&X)";

inline constexpr const char kMenuEdit[] = "编辑(&E)";
inline constexpr const char kEditUndo[] = "撤消(&U)\tCtrl+Z";
inline constexpr const char kEditCut[] = "剪切(&T)\tCtrl+X";
inline constexpr const char kEditCopy[] = "复制(&C)\tCtrl+C";
inline constexpr const char kEditPaste[] = "粘贴(&P)\tCtrl+V";

inline constexpr const char kMenuCoordinates[] = "坐标系统(&C)";
// The ten functions in menu order ("&0" … "&9").
inline constexpr const char* kFunctionMenuItems[10] = {
    "&0 参数设置",
    "&1 空间直角坐标与大地坐标转换",
    "&2 大地主题解算",
    "&3 平面坐标解算",
    "&4 高斯投影正反算",
    "&5 高斯投影换带计算",
    "&6 空间坐标转换参数求解",
    "&7 空间直角坐标转换",
    "&8 平面坐标转换参数求解",
    "&9 平面直角坐标转换",
};
inline constexpr const char* kFunctionHelp[10] = {
    "选择椭球和输入、输出角度单位",
    "大地坐标(B,L,H)与空间直角坐标(X,Y,Z)互相转换",
    "由两点求距离和方位角，或由一点、距离和方位角求另一点",
    "平面上由两点求距离和方位角，或由距离和方位角求另一点",
    "大地坐标与高斯平面坐标互相转换",
    "高斯平面坐标从一个投影带换算到另一个投影带",
    "由公共点求空间直角坐标转换的七个参数",
    "用七个参数转换空间直角坐标文件",
    "由公共点求平面直角坐标转换的四个参数",
    "用四个参数转换平面直角坐标文件",
};

inline constexpr const char kMenuView[] = "查看(&V)";
inline constexpr const char kViewToolbar[] = "工具栏(&T)";
inline constexpr const char kViewStatusBar[] = "状态栏(&S)";

inline constexpr const char kMenuWindow[] = "窗口(&W)";
inline constexpr const char kWindowNew[] = "新建窗口(&N)";
inline constexpr const char kWindowCascade[] = "层叠(&C)";
inline constexpr const char kWindowTile[] = "平铺(&T)";
inline constexpr const char kWindowArrange[] = "排列图标(&A)";
inline constexpr const char kWindowSplit[] = "分隔(&P)";

inline constexpr const char kMenuHelp[] = "帮助(&H)";
inline constexpr const char kHelpAbout[] = "关于 GeoReckon(&A)...";

// Status bar prompts of the shell's commands.
inline constexpr const char kHelpNew[] = "建立一个新文档";
inline constexpr const char kHelpOpen[] = "打开一个已有的文档";
inline constexpr const char kHelpClose[] = "关闭当前文档";
inline constexpr const char kHelpSave[] = "保存当前文档";
inline constexpr const char kHelpSaveAs[] = "用新的文件名保存当前文档";
inline constexpr const char kHelpPrint[] = "打印当前文档";
inline constexpr const char kHelpPreview[] = "按打印的样子显示整页";
inline constexpr const char kHelpPrintSetup[] = "选择打印机和打印选项";
inline constexpr const char kHelpExit[] = "退出程序，提示保存文档";
inline constexpr const char kHelpEditDisabled[] = "本程序不使用此命令";
inline constexpr const char kHelpToolbar[] = "显示或隐藏工具栏";
inline constexpr const char kHelpStatusBar[] = "显示或隐藏状态栏";
inline constexpr const char kHelpWindowNew[] = "为当前文档再打开一个窗口";
inline constexpr const char kHelpCascade[] = "层叠排列窗口";
inline constexpr const char kHelpTile[] = "平铺排列窗口";
inline constexpr const char kHelpArrange[] = "排列窗口图标";
inline constexpr const char kHelpSplit[] = "把功能列表和输出窗格的分隔线放回中间";
inline constexpr const char kHelpAbout2[] = "显示程序的版本";

// Toolbar tooltips.
inline constexpr const char kToolNew[] = "新建";
inline constexpr const char kToolOpen[] = "打开";
inline constexpr const char kToolSave[] = "保存";
inline constexpr const char kToolCut[] = "剪切";
inline constexpr const char kToolCopy[] = "复制";
inline constexpr const char kToolPaste[] = "粘贴";
inline constexpr const char kToolPrint[] = "打印";
inline constexpr const char kToolAbout[] = "关于";

// Status bar.
inline constexpr const char kStatusReady[] = "就绪";
inline constexpr const char kStatusCaps[] = "大写";
inline constexpr const char kStatusNum[] = "数字";
inline constexpr const char kStatusScroll[] = "滚动";

// The function list, in list order, and the function each item opens.
inline constexpr const char* kListItems[10] = {
    "参数设置",
    "空间直角坐标与大地坐标转换",
    "高斯投影正反算",
    "高斯投影换带计算",
    "大地主题解算",
    "平面坐标解算",
    "空间直角坐标转换参数求解",
    "空间直角坐标转换",
    "平面直角坐标转换参数求解",
    "平面直角坐标转换",
};
inline constexpr ToolFunction kListItemFunction[10] = {
    ToolFunction::kParams,     ToolFunction::kBlhXyz,      ToolFunction::kGauss,
    ToolFunction::kZoneChange, ToolFunction::kGeodetic,    ToolFunction::kPlaneCoordinates,
    ToolFunction::kSevenSolve, ToolFunction::kSevenApply,  ToolFunction::kFourSolve,
    ToolFunction::kFourApply,
};

// The output view without a selected function.
inline constexpr const char kViewHeading[] = "GeoReckon Function:";
inline constexpr const char* kViewLines[10] = {
    "不同椭球参数设置",
    "空间直角坐标与大地坐标的转换",
    "高斯投影正反算",
    "高斯投影换带计算",
    "大地主题解算",
    "平面坐标解算",
    "不同坐标系下空间直角坐标转换的参数求解",
    "不同坐标系下空间直角坐标的转换",
    "不同坐标系下平面直角坐标转换的参数求解",
    "不同坐标系下平面直角坐标的转换",
};

// Buttons and groups shared by the dialogs.
inline constexpr const char kOk[] = "确定";
inline constexpr const char kCancel[] = "取消";
inline constexpr const char kGroupParams[] = "相关参数";
inline constexpr const char kChangeParams[] = "改变参数";
inline constexpr const char kGroupType[] = "转换类型";
inline constexpr const char kGroupSingle[] = "单点转换";
inline constexpr const char kInputFile[] = "待处理文件:";
inline constexpr const char kOutputFile[] = "保存到:";
inline constexpr const char kSourceFile[] = "原坐标文件:";
inline constexpr const char kBrowse[] = "...";
inline constexpr const char kForward[] = "-->";
inline constexpr const char kBackward[] = "<--";
inline constexpr const char kCompute[] = "计算";
inline constexpr const char kGroupBatchNamed3[] = "批量转换(数据格式: 点号  分量1  分量2  分量3)";

// File choosers (filters as "text|pattern|…||").
inline constexpr const char kFilterAll[] = "(*.*)|*.*||";
inline constexpr const char kFilterText[] = "文本文件(*.txt)|*.txt|所有文件(*.*)|*.*||";
inline constexpr const char kDefaultExtension[] = "txt";
inline constexpr const char kReplaceExisting[] = "文件已存在，要替换它吗？";

// The parameter dialog.
inline constexpr const char kParamTitle[] = "相关参数";
inline constexpr const char kGroupEllipsoidType[] = "选择椭球类型";
inline constexpr const char kGroupEllipsoid[] = "椭球参数";
inline constexpr const char kSemiMajorLabel[] = "a:";
inline constexpr const char kSemiMajorUnit[] = "m";
inline constexpr const char kFlatteningLabel[] = "Alfa:";
inline constexpr const char kFlatteningPrefix[] = "1/";
inline constexpr const char kGroupAngleUnits[] = "角度单位";
inline constexpr const char kInputUnit[] = "输入:";
inline constexpr const char kOutputUnit[] = "输出:";

// Field labels of the single-point groups.
inline constexpr const char kLabelB[] = "B:";
inline constexpr const char kLabelL[] = "L:";
inline constexpr const char kLabelH[] = "H:";
inline constexpr const char kLabelX[] = "X:";
inline constexpr const char kLabelY[] = "Y:";
inline constexpr const char kLabelZ[] = "Z:";
inline constexpr const char kLabelB1[] = "B1:";
inline constexpr const char kLabelL1[] = "L1:";
inline constexpr const char kLabelB2[] = "B2:";
inline constexpr const char kLabelL2[] = "L2:";
inline constexpr const char kLabelS[] = "S:";
inline constexpr const char kLabelA[] = "A:";
inline constexpr const char kLabelX1[] = "x1:";
inline constexpr const char kLabelY1[] = "y1:";
inline constexpr const char kLabelX2[] = "x2:";
inline constexpr const char kLabelY2[] = "y2:";
inline constexpr const char kLabelSmallX[] = "x:";
inline constexpr const char kLabelSmallY[] = "y:";
inline constexpr const char kLabelSmallH[] = "h:";
inline constexpr const char kLabelH1[] = "h1:";
inline constexpr const char kLabelH2[] = "h2:";

// Cartesian and geodetic conversion.
inline constexpr const char kBlhTitle[] = "BLH-XYZ";
inline constexpr const char kBlhType0[] = "BLH -> XYZ";
inline constexpr const char kBlhType1[] = "XYZ -> BLH";
inline constexpr const char kBlhBatch0[] = "BLH-->XYZ";
inline constexpr const char kBlhBatch1[] = "XYZ-->BLH";

// Geodetic problems.
inline constexpr const char kGeodeticTitle[] = "大地主题解算";
inline constexpr const char kGeodeticType0[] = "BL-->SA";
inline constexpr const char kGeodeticType1[] = "SA-->BL";
inline constexpr const char kGroupGeodeticBatch[] = "批量转换(数据格式:B1   L1   B2/S   L2/A)";

// Plane problems.
inline constexpr const char kPlaneTitle[] = "平面坐标解算";
inline constexpr const char kPlaneType0[] = "xy-->SA";
inline constexpr const char kPlaneType1[] = "SA-->xy";
inline constexpr const char kGroupPlaneBatch[] = "批量转换(数据格式:x1   y1   x2/S   y2/A)";

// Gauss projection and zone change.
inline constexpr const char kGaussTitle[] = "高斯投影正反算";
inline constexpr const char kGaussType0[] = "BLH-->xyh";
inline constexpr const char kGaussType1[] = "xyh-->BLH";
inline constexpr const char kGroupMeridian[] = "中央子午线及 y 坐标加常数";
inline constexpr const char kMeridian[] = "中央子午线:";
inline constexpr const char kYConstant[] = "y坐标加常数:";
inline constexpr const char kGroupZones[] = "分带";
inline constexpr const char* kZoneWidthChoices[3] = {"不分带", "3度带", "6度带"};
inline constexpr const char kZoneFromPoint[] = "按点的经度取带";
inline constexpr const char kZonePrefix[] = "y坐标前加带号";
inline constexpr const char kZoneNumber[] = "带号:";
inline constexpr const char kExactProjection[] = "高精度投影";
inline constexpr const char kMeridianFromZone[] = "由带号求中央子午线";
inline constexpr const char kZoneTitle[] = "高斯投影换带计算";
inline constexpr const char kGroupZoneBatch[] = "批量转换(数据格式: 点号   x   y   h)";
inline constexpr const char kMeridian1[] = "中央子午线1:";
inline constexpr const char kMeridian2[] = "中央子午线2:";
inline constexpr const char kZone1FromPrefix[] = "带1取自y坐标的带号";
inline constexpr const char kZonePrefixBoth[] = "y坐标含带号";

// Transformations.
inline constexpr const char kSevenSolveTitle[] = "空间直角坐标转换参数求解";
inline constexpr const char kSevenApplyTitle[] = "空间直角坐标转换";
inline constexpr const char kFourSolveTitle[] = "平面直角坐标转换参数求解";
inline constexpr const char kFourApplyTitle[] = "平面直角坐标转换";
inline constexpr const char kGroupManual[] = "手工输入";
inline constexpr const char kGroupFourManual[] =
    "输入公共点坐标       源坐标                目标坐标  ";
inline constexpr const char kGroupFromFile[] = "从文件读取";
inline constexpr const char kGroupTransformParams[] = "转换参数";
inline constexpr const char kGroupSevenFiles[] = "选择文件(数据格式: 点号   X   Y   Z)";
inline constexpr const char kGroupFourFiles[] = "批量转换(数据格式: 点号   x   y)";
inline constexpr const char kPointName[] = "点名:";
inline constexpr const char* kSevenEntryLabels[6] = {"X:", "Y:", "Z:", "X':", "Y':", "Z':"};
inline constexpr const char* kFourEntryLabels[4] = {"x:", "y:", "x':", "y':"};
inline constexpr const char kAdd[] = "增加";
inline constexpr const char kDelete[] = "删除";
inline constexpr const char kEdit[] = "编辑";
inline constexpr const char kRead[] = "读取";
inline constexpr const char kSaveParams[] = "保存参数";
inline constexpr const char kSolve[] = "参数求解";
inline constexpr const char kImportParams[] = "导入参数";
inline constexpr const char kComputeParams[] = "计算参数";
inline constexpr const char kTransform[] = "转换";
inline constexpr const char* kSevenParamLabels[7] = {
    "dX0(米):", "dY0(米):", "dZ0(米):", "θx(秒):", "θy(秒):", "θz(秒):", "dλ:"};
inline constexpr const char* kFourParamLabels[4] = {"dx0(米):", "dy0(米):", "dθ(秒):", "dλ:"};
inline constexpr const char kShiftParams[] = "平移参数:";
inline constexpr const char kRotationParams[] = "旋转参数:";
inline constexpr const char kScaleParams[] = "缩放参数:";

inline constexpr const char kGroupResiduals[] = "公共点残差及单位权中误差";

// After a batch run that left lines out: the reason of the first one, how
// many, and the first line number.
inline constexpr const char kZoneWarningLines[] = "%s\n共 %lld 行（第一处在第 %lld 行）。";
// After a batch run that left lines out: the counts, then the first few
// lines with their reasons.
inline constexpr const char kBatchSummary[] = "已转换 %lld 行，跳过 %lld 行";
inline constexpr const char kBatchSkippedLine[] = "第 %lld 行：%s";
inline constexpr const char kBatchMoreLines[] = "……";
inline constexpr const char kNamedLines[] = "首列为点名";
inline constexpr const char kWriteHeader[] = "首行写计算说明";
inline constexpr const char kListSummary[] = "已读入 %lld 个点，跳过 %lld 行";
inline constexpr const char kDropWorst[] = "去掉最差点重新求解";
inline constexpr const char kDroppedPoint[] = "已去掉点 %s，重新求解：";
inline constexpr const char kSolveFirst[] = "请先求解参数！";
inline constexpr const char kOfferReport[] = "是否同时保存各公共点的残差报告？";
inline constexpr int kBatchListedLines = 5;

// The common-point tables' undo steps.
inline constexpr char kStepAddRow[] = "添加公共点";
inline constexpr char kStepDeleteRow[] = "删除公共点";
inline constexpr char kStepEditCell[] = "编辑坐标";
inline constexpr char kStepReadList[] = "读取公共点文件";

}  // namespace georeckon::app_texts
