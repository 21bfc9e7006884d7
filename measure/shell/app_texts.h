// Every text the measurement program's windows show: menus, status-bar
// prompts, tool tips, dialogs and messages, as the user sees them (UTF-8;
// convert with wxString::FromUTF8). The messages of the document operations
// themselves are in measure/records/texts.h.
//
// A command's prompt is "status-bar text\ntool tip".
#pragma once

#include "measure/records/texts.h"
#include "measure/shell/map_texts.h"

namespace vistamet::ui {

// Texts that the core shows too come from its catalogue.
using text::kAdjustmentDone;
using text::kAdjustmentNotConverged;
using text::kAdjustmentStopped;
using text::kReextractQuestion;

// --- Program ---
inline constexpr auto& kAppName = text::kProgramName;
inline constexpr char kMainTitle[] = "Vistamet 1.23";
inline constexpr char kVendorName[] = "Vistamet";

// The project document type.
inline constexpr char kDocBaseName[] = "Vistam";
inline constexpr char kDocFilterName[] = "Vistam 文件";
inline constexpr char kDocFilter[] = "*.vmt";
inline constexpr char kDocExtension[] = "vmt";
inline constexpr char kDocTypeName[] = "Vistamet.Document";
inline constexpr char kDocTypeLabel[] = "Vistam Document";
inline constexpr char kTextDocTypeName[] = "Vistamet.Text";

// --- Menus ---
inline constexpr char kMenuFile[] = "文件(&F)";
inline constexpr char kMenuEdit[] = "编辑(&E)";
inline constexpr char kMenuView[] = "查看(&V)";
inline constexpr char kMenuSettings[] = "设置(&O)";
inline constexpr char kMenuOperate[] = "操作(&C)";
inline constexpr char kMenuTools[] = "工具(&T)";
inline constexpr char kMenuWindow[] = "窗口(&W)";
inline constexpr char kMenuHelp[] = "帮助(&H)";

inline constexpr char kItemNew[] = "新建(&N)\tCtrl+N";
inline constexpr char kItemOpen[] = "打开(&O)...\tCtrl+O";
inline constexpr char kItemOpenText[] = "打开文本文件";
inline constexpr char kItemClose[] = "关闭(&C)";
inline constexpr char kItemSave[] = "保存(&S)\tCtrl+S";
inline constexpr char kItemSaveAs[] = "另存为(&A)...";
inline constexpr char kItemPrint[] = "打印(&P)...\tCtrl+P";
inline constexpr char kItemPrintPreview[] = "打印预览(&V)";
inline constexpr char kItemPrintSetup[] = "打印设置(&R)...";
inline constexpr char kItemRecentFiles[] = "最近文件";
inline constexpr char kItemExit[] = "退出(&X)";

inline constexpr char kItemUndo[] = "撤消(&U)\tCtrl+Z";
inline constexpr char kItemCut[] = "剪切(&T)\tCtrl+X";
inline constexpr char kItemCopy[] = "复制(&C)\tCtrl+C";
inline constexpr char kItemPaste[] = "粘贴(&P)\tCtrl+V";

inline constexpr char kItemToolBar[] = "工具栏(&T)";
inline constexpr char kItemStatusBar[] = "状态栏(&S)";
inline constexpr char kItemDataList[] = "列表数据(&L)";
inline constexpr char kItemPlanMap[] = "平面成图(&M)";
inline constexpr char kItemModel3D[] = "三维模型(&3)";

inline constexpr char kItemOptions[] = "选项设置(&S)...";

inline constexpr char kMenuFeaturePoints[] = "特征点";
inline constexpr char kItemEditPoint[] = "编辑(&1)\tAlt+1";
inline constexpr char kItemClearNumber[] = "清除编号(&2)\tAlt+2";
inline constexpr char kItemClearAllNumbers[] = "全部清除(&C)";
inline constexpr char kItemDeletePoint[] = "删除(&3)\tAlt+3";
inline constexpr char kItemAddPoint[] = "任意添加(&5)\tAlt+5";
inline constexpr char kItemRectangleCorners[] = "矩形角点(&6)\tAlt+6";
inline constexpr char kItemExtract[] = "自动提取三角点(&T)";
inline constexpr char kItemExtractRunning[] = "提取三角点(正在进行...)";
inline constexpr char kItemExtractDone[] = "提取三角点(已经完成)";
inline constexpr char kMenuSweep[] = "清扫图面";
inline constexpr char kItemSweepAll[] = "所有图像(&A)";
inline constexpr char kItemSweepCurrent[] = "当前图像(&C)\tEsc";
inline constexpr char kItemDeleteSpacePoint[] = "删除空间点(&4)\tAlt+4";
inline constexpr char kItemAdjust[] = "整体平差(&A)\tCtrl+Enter";
inline constexpr char kItemMeasureDistance[] = "距离测量(&S)\tAlt+S";
inline constexpr char kItemMeasureDistanceFirst[] = "距离测量(先要整体平差)\tAlt+S";
inline constexpr char kItemPlanePoint[] = "投影平面点(&P)";
inline constexpr char kMenuImage[] = "图像(&P)";
inline constexpr char kItemZoomIn[] = "放大\tCtrl+Down";
inline constexpr char kItemZoomOut[] = "缩小\tCtrl+Up";
inline constexpr char kMenuTest[] = "TEST";
inline constexpr char kItemShiftOrigin[] = "坐标原点平移";
inline constexpr char kItemDistanceTest[] = "距离测试";

inline constexpr char kItemGeoReckon[] = "坐标投影与变换(&C)";
inline constexpr char kItemHeightFit[] = "高程拟合(&H)";
inline constexpr char kItemCalculator[] = "计算器(&J)";
inline constexpr char kItemPaint[] = "画图程序(&P)";

inline constexpr char kItemNewWindow[] = "新建窗口(&N)";
inline constexpr char kItemCascade[] = "层叠(&C)";
inline constexpr char kItemTile[] = "平铺(&T)";
inline constexpr char kItemArrangeIcons[] = "排列图标(&A)";

inline constexpr char kItemHelpTopics[] = "帮助主题(&H)\tF1";
inline constexpr char kItemAbout[] = "关于 Vistamet(&A)...";

// --- Status-bar prompts and tool tips ("prompt\ntip") ---
inline constexpr char kPromptNew[] = "建立新文档\n新建";
inline constexpr char kPromptOpen[] = "打开一个现有文档\n打开";
inline constexpr char kPromptOpenText[] = "打开一个文本文件\n打开文本文件";
inline constexpr char kPromptClose[] = "关闭活动文档\n关闭";
inline constexpr char kPromptSave[] = "保存活动文档\n保存";
inline constexpr char kPromptSaveAs[] = "用新名称保存活动文档\n另存为";
inline constexpr char kPromptPrint[] = "打印活动文档\n打印";
inline constexpr char kPromptPrintPreview[] = "显示整页\n打印预览";
inline constexpr char kPromptPrintSetup[] = "更改打印机及打印选项\n打印设置";
inline constexpr char kPromptRecentFile[] = "打开该文档";
inline constexpr char kPromptExit[] = "退出应用程序；提示保存文档\n退出";
inline constexpr char kPromptUndo[] = "撤消最后一步操作\n撤消";
inline constexpr char kPromptCut[] = "剪切所选内容，并将其放入剪贴板\n剪切";
inline constexpr char kPromptCopy[] = "复制所选内容，并将其放入剪贴板\n复制";
inline constexpr char kPromptPaste[] = "插入剪贴板内容\n粘贴";
inline constexpr char kPromptToolBar[] = "显示或隐藏工具栏\n显隐工具栏";
inline constexpr char kPromptStatusBar[] = "显示或隐藏状态栏\n显隐状态栏";
inline constexpr char kPromptDataList[] = "列表显示测距、空间点、像点、相机等数据\n列表数据";
inline constexpr char kPromptPlanMap[] = "按投影平面绘制平面图\n平面成图";
inline constexpr char kPromptModel3D[] = "显示空间点和相机的三维模型\n三维模型";
inline constexpr char kPromptOptions[] = "设置平差参数及其他选项\n选项设置";
inline constexpr char kPromptEditPoint[] = "编辑该图像上已有特征点\n编辑特征点[Alt+1]";
inline constexpr char kPromptClearNumber[] =
    "清除该图像上的某一点编号，将点转为无名点\n清除特征点编号[Alt+2]";
inline constexpr char kPromptClearAllNumbers[] = "清除当前图像中的全部特征点编号\n全部清除";
inline constexpr char kPromptDeletePoint[] = "彻底删除该特征点(包括点位)\n删除特征点[Alt+3]";
inline constexpr char kPromptAddPoint[] = "任意添加特征点\n任意添加特征点[Alt+5]";
inline constexpr char kPromptRectangleCorners[] = "提取矩形角点\n提取矩形角点[Alt+6]";
inline constexpr char kPromptExtract[] = "自动后台运行提取三角点\n自动提取三角点";
inline constexpr char kPromptSweepAll[] = "清除所有图像中未编号的特征点\n清扫所有图面";
inline constexpr char kPromptSweepCurrent[] = "清除当前图像的除垃圾数据，使图像简洁\n清扫当前图面[Esc]";
inline constexpr char kPromptDeleteSpacePoint[] =
    "进入删除空间点的状态，用鼠标点击操作\n删除空间点[Alt+4]";
// The stop button beside the progress bar of work on the worker.
inline constexpr char kStopWork[] = "停止";
inline constexpr char kStopWorkTip[] = "停止正在进行的计算 (Esc)";
inline constexpr char kStoppingWork[] = "正在停止...";
inline constexpr char kPromptAdjust[] = "对所有可量测的相片整体平差计算\n整体平差";
inline constexpr char kPromptMeasureDistance[] = "量测两点之间的距离\n距离测量[Alt+S]";
inline constexpr char kPromptPlanePoint[] = "选择投影平面点\n选择投影平面点";
inline constexpr char kPromptZoomIn[] = "图像放大\n放大";
inline constexpr char kPromptZoomOut[] = "图像缩小\n缩小";
inline constexpr char kPromptShiftOrigin[] = "把所有空间点平移一个偏移量\n坐标原点平移";
inline constexpr char kPromptDistanceTest[] = "用已知距离检验空间点坐标\n距离测试";
inline constexpr char kPromptGeoReckon[] = "启动坐标投影与变换程序\n坐标投影与变换";
inline constexpr char kPromptHeightFit[] = "启动高程拟合程序\n高程拟合";
inline constexpr char kPromptCalculator[] = "启动计算器\n计算器";
inline constexpr char kPromptPaint[] = "启动画图程序\n画图程序";
inline constexpr char kPromptNewWindow[] = "为活动文档打开另一个窗口\n新建窗口";
inline constexpr char kPromptCascade[] = "以重叠方式排列窗口\n层叠窗口";
inline constexpr char kPromptTile[] = "以不重叠的平铺方式排列窗口\n平铺窗口";
inline constexpr char kPromptArrangeIcons[] = "在窗口的底部排列图标\n排列图标";
// The same commands where the document windows are tabs: not available,
// and the status bar says why.
inline constexpr char kPromptCascadeTabbed[] = "窗口以标签页显示，无需层叠\n层叠窗口";
inline constexpr char kPromptTileTabbed[] = "窗口以标签页显示，无需平铺\n平铺窗口";
inline constexpr char kPromptArrangeIconsTabbed[] = "窗口以标签页显示，没有图标需要排列\n排列图标";
inline constexpr char kPromptHelpTopics[] = "打开程序的使用说明\n帮助主题";
inline constexpr char kPromptAbout[] = "显示程序信息、版本号和版权\n关于";

// --- Status bar ---
inline constexpr char kReady[] = "就绪";
inline constexpr char kIndicatorCaps[] = "大写";
inline constexpr char kIndicatorNum[] = "数字";
inline constexpr char kIndicatorScroll[] = "滚动";

// --- Messages ---
inline constexpr char kCommandFailed[] = "命令失败。";
inline constexpr char kChoosePlanePointFirst[] = "请先设置一个投影平面点!";
inline constexpr char kNotYetAvailable[] = "尚未实现";
inline constexpr char kSaveChangesQuestion[] = "是否保存对 %s 的更改？";
inline constexpr char kCannotOpenText[] = "无法打开文件“%s”：%s";
inline constexpr char kTextNotEncodable[] =
    "文本中有无法用原文件编码保存的字符，文件没有保存。";
// The framework's number and range messages.
inline constexpr char kEnterNumber[] = "请键入一个数。";
inline constexpr char kEnterInteger[] = "请键入一个整数。";
inline constexpr char kNumberRange[] = "请填入一个在%s和%s之间的数字。";
inline constexpr char kIntegerRange[] = "请填入一个在%s和%s之间的整数。";

// --- Buttons ---
inline constexpr char kOk[] = "确定";
inline constexpr char kCancel[] = "取消";
inline constexpr char kYes[] = "是(&Y)";
inline constexpr char kNo[] = "否(&N)";

// --- File dialogs ---
inline constexpr char kOpenTitle[] = "打开";
inline constexpr char kSaveAsTitle[] = "另存为";
inline constexpr char kImageFilter[] =
    "图像文件(*.bmp;*.jpg;*.jpeg;*.png;*.tif;*.tiff)|"
    "*.bmp;*.BMP;*.jpg;*.JPG;*.jpeg;*.JPEG;*.png;*.PNG;*.tif;*.TIF;*.tiff;*.TIFF|"
    "All files(*.*)|*.*";
inline constexpr char kTextFilter[] = "文本文件(*.txt)|*.txt|All files(*.*)|*.*";

// --- Options sheet ---
inline constexpr char kOptionsTitle[] = "设置";
inline constexpr char kPageAdjust[] = "平差设置";
inline constexpr char kPagePhoto[] = "图像设置";
inline constexpr char kPageCamera[] = "相机参数";
inline constexpr char kGroupImagePoints[] = "像点";
inline constexpr char kLmsFeature[] = "同名点位匹配(LSM)";
inline constexpr char kCleanPoints[] = "清除多余的特征点";
inline constexpr char kGroupTolerance[] = "迭代精度";
inline constexpr char kCoordTol[] = "坐标:";
inline constexpr char kAngleTol[] = "角度:";
inline constexpr char kUnitMm[] = "mm";
inline constexpr char kUnitRad[] = "rad";
inline constexpr char kMaxIter[] = "次数限制:";
inline constexpr char kKeepMinRms[] = "取最小中误差状态";
inline constexpr char kControlWeight[] = "控制点倍权:";
inline constexpr char kGroupWeights[] = "定权";
inline constexpr char kWeightX[] = "x:";
inline constexpr char kWeightY[] = "y:";
inline constexpr char kAutoPlaneTrans[] = "自动寻找同名点（平面透视变换）";
inline constexpr char kShowAdjusted[] = "显示平差之后的点位";
inline constexpr char kShowDistances[] = "显示测距";
inline constexpr char kPhotoCache[] = "图像缓存:";
inline constexpr char kUnitMb[] = "MB";
inline constexpr char kGroupTargets[] = "三角点提取";
inline constexpr char kTargetRefine[] = "亚像素精确定位三角点";
inline constexpr char kTargetReject[] = "剔除非三角点标志";
inline constexpr char kTargetWeights[] = "按定位精度确定像点权";
inline constexpr char kFocal[] = "f:";
inline constexpr char kU0[] = "u0:";
inline constexpr char kV0[] = "v0:";
inline constexpr char kGroupDistortion[] = "畸变参数";
inline constexpr char kA1[] = "A1:";
inline constexpr char kA2[] = "A2:";
inline constexpr char kR0[] = "R0:";
inline constexpr char kPixelSize[] = "像素大小:";
inline constexpr char kUnitMmPerPixel[] = "mm/pixel";
inline constexpr char kD7[] = "D7";
inline constexpr char kD75[] = "D75";

// --- New project ---
inline constexpr char kNewProjectTitle[] = "新建工程";
inline constexpr char kNewProjectPhotos[] = "工程图像:";
inline constexpr char kAddPhotosButton[] = "<<";
inline constexpr char kNewProjectCamera[] = "相机:";
inline constexpr char kNewProjectNoExif[] = "（照片中没有相机信息）";
inline constexpr char kNewProjectFocal[] = "焦距 f:";
inline constexpr char kNewProjectPixelSize[] = "像素大小:";
inline constexpr char kNewProjectFromExif[] = "空白：取各照片的 EXIF 值";

// --- Space point dialogs ---
inline constexpr char kSpacePointTitle[] = "空间点";
inline constexpr char kControlPoint[] = "控制点";
inline constexpr char kPointNumber[] = "点号:";
inline constexpr char kCoordX[] = "X:";
inline constexpr char kCoordY[] = "Y:";
inline constexpr char kCoordZ[] = "Z:";
inline constexpr char kRenameTitle[] = "空间点更名";
inline constexpr char kOldName[] = "原名:";
inline constexpr char kNewName[] = "新名:";
inline constexpr char kOffsetTitle[] = "Offset";
inline constexpr char kOffsetX[] = "x:";
inline constexpr char kOffsetY[] = "y:";
inline constexpr char kOffsetZ[] = "z:";

// --- About box ---
inline constexpr char kAboutTitle[] = "关于 Vistamet";
inline constexpr char kAboutVersion[] = "Vistamet 1.231 版";
inline constexpr char kAboutProgram[] = "近景摄影测量及成图一体化程序";
inline constexpr char kAboutCredits[] = "Vistamet 开发组  版权所有 (C) 2026";
inline constexpr char kAboutGuide[] = "使用说明";

// --- Views ---
inline constexpr char kPointAlreadyHere[] = "这里已经有特征点了!";
inline constexpr char kDistanceAlreadyMeasured[] = "这条距离已经量过!";
inline constexpr char kControlPointMark[] = "(控制点)";
// The image view's context menu. The menu texts separate the mnemonic with
// a space where a tab stood: in a menu label a tab starts an accelerator.
inline constexpr char kPopupZoomIn[] = "放大(&L)";
inline constexpr char kPopupZoomOut[] = "缩小(&M)";
inline constexpr char kPopupEditPoint[] = "编辑特征点 (&1)";
inline constexpr char kPopupClearNumber[] = "清除编号 (&2)";
inline constexpr char kPopupDeletePoint[] = "删除特征点 (&3)";
inline constexpr char kPopupDeleteSpacePoint[] = "删除空间点 (&4)";
inline constexpr char kPopupAddPoint[] = "任意特征点 (&5)";
inline constexpr char kPopupRectangleCorners[] = "提取矩形角点 (&6)";
inline constexpr char kPopupSweepCurrent[] = "清扫当前图面(&C)";
inline constexpr char kPopupAdjust[] = "整体平差(&A)";
inline constexpr char kPopupMeasureDistance[] = "距离测量(&S)";
inline constexpr char kPopupExit[] = "退出(&X)";
// The data list's tables.
inline constexpr char kColNumber[] = "编号";
inline constexpr char kColStart[] = "起点";
inline constexpr char kColEnd[] = "终点";
inline constexpr char kColSpaceDistance[] = "空间距离(m)";
inline constexpr char kColPointNumber[] = "点号";
inline constexpr char kColRays[] = "同名点数目";
inline constexpr char kColPhotoX[] = "相片坐标x(mm)";
inline constexpr char kColPhotoY[] = "相片坐标y(mm)";
inline constexpr char kColPhotoIndex[] = "所在相片编号";
inline constexpr char kColPhotoNumber[] = "相片编号";
inline constexpr char kColPhi[] = "phi(度)";
inline constexpr char kColOmega[] = "omiga(度)";
inline constexpr char kColKappa[] = "kapa(度)";
inline constexpr char kColPath[] = "文件路径名称";
inline constexpr char kFooterDistances[] = "总计 %d 条测距";
inline constexpr char kFooterSpacePoints[] = "总计%d个空间点(箭头标志控制点)";
inline constexpr char kFooterImagePoints[] = "总计%d个特征点(问号表示该点还没有编号)";
inline constexpr char kFooterPhotos[] = "总计 %d 张相片(箭头标志的是当前相片)";
// The data list's toolbar and menu ("status prompt\ntool tip").
inline constexpr char kListShowDistances[] = "显示测距数据\n测距";
inline constexpr char kListShowSpacePoints[] = "空间点数据\n空间点";
inline constexpr char kListShowImagePoints[] = "像点数据\n像点";
inline constexpr char kListShowPhotos[] = "察看相片数据\n相片数据";
inline constexpr char kListRefresh[] = "刷新\n刷新";
inline constexpr char kListDelete[] = "删除选定的项\n删除";
inline constexpr char kListRename[] = "将现有空间点改名\n改名";
inline constexpr char kListPopupDelete[] = "删除(&D)";
inline constexpr char kListPopupRename[] = "改名(&R)";
inline constexpr char kListExportCsv[] = "导出 CSV...";
inline constexpr char kCsvFilter[] = "CSV 文件(*.csv)|*.csv|All files(*.*)|*.*";

// The thumbnail strip's context menu and its file dialog.
inline constexpr char kStripSetCurrent[] = "设为当前图片";
inline constexpr char kStripDeletePhoto[] = "删除该片";
inline constexpr char kStripAddPhoto[] = "新增一张图片";
inline constexpr char kStripNewPhotoTip[] = "new image";
inline constexpr char kThumbnailLabel[] = "Image:%d";
inline constexpr char kTitleDataList[] = "列表数据";
inline constexpr char kTitlePlanMap[] = "平面成图";
inline constexpr char kTitleModel3D[] = "三维模型";

// 编辑 > 撤消 and 重做: the item names the step it undoes or redoes (%s).
inline constexpr char kItemRedo[] = "重做(&R)\tCtrl+Y";
inline constexpr char kItemUndoNamed[] = "撤消%s(&U)\tCtrl+Z";
inline constexpr char kItemRedoNamed[] = "重做%s(&R)\tCtrl+Y";
inline constexpr char kPromptRedo[] = "重做最后撤消的操作\n重做";
// The steps, named by what they changed.
inline constexpr char kStepAddPhoto[] = "添加图像";
inline constexpr char kStepDeletePhoto[] = "删除图像";
inline constexpr char kStepAdjust[] = "整体平差";
inline constexpr char kStepExtract[] = "自动提取三角点";
inline constexpr char kStepOptions[] = "选项设置";
inline constexpr char kStepPlanePoint[] = "投影平面点";
inline constexpr char kStepAddDistance[] = "距离测量";
inline constexpr char kStepDeleteDistance[] = "删除距离";
inline constexpr char kStepFeatures[] = "编辑地物";
inline constexpr char kStepAddPoint[] = "添加特征点";
inline constexpr char kStepDeletePoint[] = "删除特征点";
inline constexpr char kStepClearNumber[] = "清除编号";
inline constexpr char kStepNumber[] = "编号";
inline constexpr char kStepShiftOrigin[] = "坐标原点平移";
inline constexpr char kStepDeleteSpacePoint[] = "删除空间点";
inline constexpr char kStepSpacePoints[] = "修改空间点";
inline constexpr char kStepOther[] = "修改";
// A step that cannot be undone because a photo cannot be read again (%s:
// why).
inline constexpr char kUndoPhotoMissing[] = "无法撤消：%s";

// Autosave: the options sheet's page and the offer after a crash (%s: the
// project's file name).
inline constexpr char kPageAutosave[] = "自动保存";
inline constexpr char kAutosaveMinutesLabel[] = "自动保存间隔(分钟，0 = 不自动保存):";
inline constexpr char kAutosaveNote[] =
    "修改过的工程定时保存到用户数据文件夹中的恢复文件，不覆盖工程文件本身。";
inline constexpr char kRecoverQuestion[] =
    "工程 %s 有一份未正常关闭时自动保存的版本，比文件中的新。\n要恢复自动保存的内容吗？";
inline constexpr char kRecoverUntitledQuestion[] =
    "上次未正常关闭时有一个未保存的工程，已自动保存。\n要把它恢复为新工程吗？";

}  // namespace vistamet::ui
