// The measurement program's own texts, exactly as the user sees them. The
// core and the GUI both take their messages from here.
#pragma once

namespace vistamet::text {

inline constexpr char kProgramName[] = "Vistamet";

// Project file.
inline constexpr char kNotOurFormat[] = "该文件不是本程序的文档格式";
inline constexpr char kNotVistametDocument[] = "该文件不是Vistamet的标准文档。";
inline constexpr char kPhotoMissingSuffix[] = " 不存在或者打开错误，不能打开该图像!";
inline constexpr char kFileUnreadable[] = "无法读取文件“%s”：%s";
inline constexpr char kFileUnsaved[] = "无法保存文件“%s”：%s";

// Photos.
inline constexpr char kAddPhotoFailed[] = "新增图片失败！\n可能是所增加的图片已经存在，或者其他原因";
inline constexpr char kKeepOnePhoto[] = "最少要保留一幅图像!";
inline constexpr char kDeletePhotoQuestion[] =
    "注意：删除的照片数据不能恢复，建议先保存文件。\n\n真的要删除这张图片？";
inline constexpr char kDeleteCaption[] = "删除";

// Numbering and space points.
inline constexpr char kNumberExists[] = "这个点号(' %d ')已经存在!";
inline constexpr char kKeepControlQuestion[] =
    "该编号的空间点已经存在，并且是控制点。\n\n是否保留原来控制点的数据？";
inline constexpr char kSpacePointExists[] = "空间点%d已经存在!";
inline constexpr char kErrorCaption[] = "错误";
inline constexpr char kRayCountNote[] = "同名点数目平差之后才能更新";

// Corresponding points: the numbers on two photos contradict their plane
// transformation.
inline constexpr char kCorrespondingPointsWrong[] = "同名点有误!";

// Target extraction.
inline constexpr char kReextractQuestion[] =
    "您要求重新提取三角点，这将删除所有现有数据。您确定要这么做吗？";

// Bundle adjustment.
inline constexpr char kTooFewControlPoints[] = "第 %d 张照片的控制点不足！";
inline constexpr char kCollinearControlPoints[] = "第 %d 张照片的控制点在一条直线上，无法定向！";
inline constexpr char kAdjustmentFailed[] =
    "整体平差失败!请检查:\n1.控制点坐标是否正确\n2.同名点位是否正确\n3.相机状态是否良好(可在'列表数据'里察看)\n4.同名点的重复数是否太少\n5.控制场是否太小";
inline constexpr char kAdjustmentDone[] = "......整体平差计算完成。 可以进行距离测量。";
// The iteration limit ended the run: the best iterate is kept as start
// values, the project is not marked adjusted.
inline constexpr char kAdjustmentNotConverged[] =
    "......整体平差未收敛 (not converged)：已保留最佳迭代结果，项目未标记为已平差。";
// A report of the adjustment that could not be written; %s says which and why.
inline constexpr char kReportNotWritten[] = "平差报告未能写入：%s";
// The user stopped the adjustment; the project is as it was.
inline constexpr char kAdjustmentStopped[] = "......整体平差已停止，项目保持原样。";
// An increment of the adjustment was not finite; %d is its unknown's column.
inline constexpr char kUnknownNotSolved[] = "计算未知数 %d 出错 !";

}  // namespace vistamet::text
