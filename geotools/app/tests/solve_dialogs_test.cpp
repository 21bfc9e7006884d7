// The parameter solvers and the apply dialogs: the common-point table
// (add, delete, edit, read), solving, saving the parameter file, importing
// it, handing solved values over, and the transformation of a file.
#include <gtest/gtest.h>
#include <wx/textctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "geotools/app/app_texts.h"
#include "geotools/app/common_point_table.h"
#include "geotools/app/entry_fields.h"
#include "geotools/app/four_apply_dlg.h"
#include "geotools/app/four_solve_dlg.h"
#include "geotools/app/seven_apply_dlg.h"
#include "geotools/app/seven_solve_dlg.h"
#include "geotools/compute/residuals.h"
#include "geotools/compute/batch.h"
#include "geotools/compute/number_format.h"
#include "geotools/compute/param_file.h"
#include "geotools/compute/texts.h"
#include "tests/gui_test_support.h"

namespace georeckon::test {
namespace {

// Types one common point into the entry group and presses "增加".
void AddPoint(wxWindow* dialog, const std::string& name, const std::vector<double>& values) {
  static const char* const kEntries[6] = {"entry0", "entry1", "entry2",
                                          "entry3", "entry4", "entry5"};
  Type(dialog, "pointName", name);
  for (size_t i = 0; i < values.size(); ++i)
    Type(dialog, kEntries[i], FormatEntryNumber(values[i]));
  Press(dialog, "add");
}

// Three points related by a pure shift of (10, -20, 5) m.
void AddShiftedPoints(wxWindow* dialog) {
  AddPoint(dialog, "P1", {1000, 2000, 3000, 1010, 1980, 3005});
  AddPoint(dialog, "P2", {-4000, 2500, 100, -3990, 2480, 105});
  AddPoint(dialog, "P3", {300, -7000, 6000, 310, -7020, 6005});
}

void ClickCell(CCommonPointTable* table, int row, int col) {
  wxGridEvent event(table->GetId(), wxEVT_GRID_CELL_LEFT_CLICK, table, row, col);
  table->ProcessWindowEvent(event);
}

void LoseFocus(wxWindow* w) {
  wxFocusEvent event(wxEVT_KILL_FOCUS, w->GetId());
  event.SetEventObject(w);
  w->ProcessWindowEvent(event);
}

TEST(SevenSolveDlg, AddSolveDeleteRoundTrip) {
  UiScript ui;
  CSevenSolveDlg dialog(nullptr);
  CCommonPointTable* table = dialog.table();
  EXPECT_EQ(Utf8(table->GetColLabelValue(0)), "     点名  ");
  EXPECT_EQ(Utf8(table->GetColLabelValue(4)), "        X'");
  AddShiftedPoints(&dialog);
  ASSERT_EQ(table->count(), 3);
  EXPECT_EQ(Utf8(table->GetCellValue(1, 0)), "P2");
  EXPECT_EQ(Utf8(table->GetCellValue(1, 1)), "-4000.0000");
  EXPECT_EQ(Utf8(table->GetCellValue(2, 6)), "6005.0000");
  // The entry edits are cleared after each point.
  EXPECT_EQ(Text(&dialog, "pointName"), "");
  EXPECT_EQ(Text(&dialog, "entry3"), "0");

  Press(&dialog, "solve");
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(Text(&dialog, "dX0"), "10");
  EXPECT_EQ(Text(&dialog, "dY0"), "-20");
  EXPECT_EQ(Text(&dialog, "dZ0"), "5");
  for (const char* name : {"thetaX", "thetaY", "thetaZ", "dLambda"}) {
    double v = 1;
    ASSERT_TRUE(ParseEntryNumber(Text(&dialog, name), &v)) << name;
    EXPECT_EQ(v, 0.0) << name;
  }

  // Deleting the second row moves the third up with its coordinates.
  table->SetGridCursor(1, 2);
  table->SelectRow(1);
  Press(&dialog, "delete");
  ASSERT_EQ(table->count(), 2);
  EXPECT_EQ(Utf8(table->GetCellValue(0, 0)), "P1");
  EXPECT_EQ(Utf8(table->GetCellValue(1, 0)), "P3");
  EXPECT_EQ(Utf8(table->GetCellValue(1, 2)), "-7000.0000");
  EXPECT_EQ(table->rows()[1].name, "P3");
  EXPECT_EQ(table->rows()[1].cells[1], "-7000.0000");

  // Two points are not enough; the shown parameters stay.
  Press(&dialog, "solve");
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{texts::kNeedThreePoints});
  EXPECT_EQ(Text(&dialog, "dX0"), "10");

  // "确定" hands the shown values over.
  PressId(&dialog, wxID_OK);
  EXPECT_EQ(dialog.GetReturnCode(), wxID_OK);
  EXPECT_EQ(dialog.params().dX0, 10.0);
}

TEST(SevenSolveDlg, EditModeRewritesTheClickedCell) {
  UiScript ui;
  CSevenSolveDlg dialog(nullptr);
  CCommonPointTable* table = dialog.table();
  AddShiftedPoints(&dialog);

  // Without "编辑" a click only selects.
  ClickCell(table, 0, 1);
  EXPECT_FALSE(table->editor_open());

  Press(&dialog, "edit");
  ClickCell(table, 0, 0);  // the name column is not a coordinate
  EXPECT_FALSE(table->editor_open());
  ClickCell(table, 0, 1);
  ASSERT_TRUE(table->editor_open());
  wxTextCtrl* editor = table->cell_editor();
  EXPECT_EQ(Utf8(editor->GetValue()), "1000.0000");
  long from = 0, to = 0;
  editor->GetSelection(&from, &to);
  EXPECT_EQ(to - from, 9);
  editor->ChangeValue("1002.5");
  LoseFocus(editor);
  EXPECT_FALSE(table->editor_open());
  EXPECT_EQ(Utf8(table->GetCellValue(0, 1)), "1002.50000");
  EXPECT_EQ(table->rows()[0].cells[0], "1002.50000");

  // Still armed: the next click edits again; text that is no number gives 0.
  ClickCell(table, 2, 6);
  ASSERT_TRUE(table->editor_open());
  table->cell_editor()->ChangeValue("abc");
  LoseFocus(table->cell_editor());
  EXPECT_EQ(Utf8(table->GetCellValue(2, 6)), "0.00000");

  // "增加" ends edit mode.
  AddPoint(&dialog, "P4", {1, 2, 3, 4, 5, 6});
  ClickCell(table, 3, 1);
  EXPECT_FALSE(table->editor_open());

  // The solver reads the edited texts: P1 now says X was 1002.5.
  Press(&dialog, "solve");
  std::vector<CommonPointRow> rows = table->rows();
  SevenParams expected;
  ASSERT_EQ(SolveSevenFromRows(rows, &expected), SolveStatus::kOk);
  double dx = 0;
  ASSERT_TRUE(ParseEntryNumber(Text(&dialog, "dX0"), &dx));
  EXPECT_EQ(dx, expected.dX0);
}

TEST(SevenSolveDlg, ReadsPointListsAndSavesTheParameterFile) {
  TempDir dir;
  WriteFile(dir.Path("points.txt"),
            "P1 1000 2000 3000 1010 1980 3005\n"
            "too short\n"
            "P2 -4000 2500 100 -3990 2480 105 extra\n"
            "bad 1 2 3 x 5 6\n"
            "P3 300 -7000 6000 310 -7020 6005\r\n");
  UiScript ui;
  CSevenSolveDlg dialog(nullptr);
  Type(&dialog, "listFile", dir.Path("points.txt"));
  Press(&dialog, "read");
  ASSERT_EQ(dialog.table()->count(), 3);
  EXPECT_EQ(dialog.table()->rows()[2].name, "P3");
  // The lines left out are told with their numbers and reasons.
  EXPECT_EQ(ui.MessageTexts(),
            std::vector<std::string>{"已读入 3 个点，跳过 2 行\n第 2 行：行太短，不是数据行\n"
                                     "第 4 行：缺少数据项或数据项不是数"});

  ui.messages.clear();
  Type(&dialog, "listFile", dir.Path("absent.txt"));
  Press(&dialog, "read");
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text.rfind(std::string(texts::kOpenFileError) + "\n", 0), 0u);
  EXPECT_NE(ui.messages[0].text.find(dir.Path("absent.txt")), std::string::npos);
  EXPECT_EQ(dialog.table()->count(), 3);
  ui.messages.clear();

  EXPECT_EQ(Text(&dialog, "residuals"), "");
  Press(&dialog, "solve");
  // Residuals of the three points below the parameters.
  EXPECT_EQ(Text(&dialog, "residuals"),
            FormatResidualReport(SevenResiduals(dialog.table()->rows(), dialog.params())));
  EXPECT_NE(Text(&dialog, "residuals").find("\nP3 "), std::string::npos);
  EXPECT_NE(Text(&dialog, "residuals").find("σ0 = "), std::string::npos);
  ui.files = {dir.Path("params.txt")};
  ui.answer = wxNO;  // no residual report this time
  Press(&dialog, "saveParams");
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"是否同时保存各公共点的残差报告？"});
  ui.messages.clear();
  ASSERT_EQ(ui.file_requests.size(), 1u);
  EXPECT_TRUE(ui.file_requests[0].save);
  EXPECT_EQ(ui.file_requests[0].default_extension, "txt");
  EXPECT_EQ(ReadFile(dir.Path("params.txt")),
            FormatSevenParamFile(dialog.params(), dialog.table()->rows()));
  EXPECT_EQ(ui.launched, std::vector<std::string>{dir.Path("params.txt")});

  // A file that cannot be created.
  ui.files = {dir.Path("no/such/dir/p.txt")};
  ui.messages.clear();
  Press(&dialog, "saveParams");
  ASSERT_EQ(ui.messages.size(), 1u);  // no report offered for a file not saved
  EXPECT_EQ(ui.messages[0].text.rfind(std::string(texts::kCreateFileError) + "\n", 0), 0u);
  EXPECT_NE(ui.messages[0].text.find("no/such/dir/p.txt"), std::string::npos);
  EXPECT_EQ(ui.launched.size(), 1u);
}

TEST(SevenSolveDlg, DropsTheWorstPointAndSolvesAgain) {
  UiScript ui;
  CSevenSolveDlg dialog(nullptr);
  Press(&dialog, "dropWorst");  // nothing solved yet
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"请先求解参数！"});
  ui.messages.clear();
  AddShiftedPoints(&dialog);
  // A fourth point whose target is half a metre off.
  AddPoint(&dialog, "BAD", {5000, 5000, 5000, 5010.5, 4980, 5005});
  AddPoint(&dialog, "P5", {-2000, -3000, 4000, -1990, -3020, 4005});
  Press(&dialog, "solve");
  EXPECT_NE(dialog.params().dX0, 10);
  Press(&dialog, "dropWorst");
  ASSERT_EQ(dialog.table()->count(), 4);
  for (const CommonPointRow& row : dialog.table()->rows()) EXPECT_NE(row.name, "BAD");
  EXPECT_EQ(dialog.params().dX0, 10);
  EXPECT_EQ(dialog.params().dY0, -20);
  EXPECT_EQ(Text(&dialog, "residuals").rfind("已去掉点 BAD，重新求解：\n", 0), 0u);
  EXPECT_TRUE(ui.messages.empty());

  // Rows changed since the solve: the worst point is not known.
  AddPoint(&dialog, "P6", {100, 200, 300, 110, 180, 305});
  Press(&dialog, "dropWorst");
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"请先求解参数！"});
  EXPECT_EQ(dialog.table()->count(), 5);

  // Never below the three points a solve needs.
  ui.messages.clear();
  dialog.table()->DeleteRow(4);
  dialog.table()->DeleteRow(3);
  Press(&dialog, "solve");
  Press(&dialog, "dropWorst");
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{texts::kNeedThreePoints});
  EXPECT_EQ(dialog.table()->count(), 3);
}

TEST(SevenSolveDlg, ReadingAListIgnoresTheManualEntry) {
  TempDir dir;
  WriteFile(dir.Path("points.txt"), "P1,1000,2000,3000,1010,1980,3005\r\n");
  UiScript ui;
  CSevenSolveDlg dialog(nullptr);
  Type(&dialog, "entry2", "not a number");
  Type(&dialog, "listFile", dir.Path("points.txt"));
  Press(&dialog, "read");
  EXPECT_TRUE(ui.messages.empty());
  ASSERT_EQ(dialog.table()->count(), 1);
  EXPECT_EQ(dialog.table()->rows()[0].cells[5], "3005.0000");
  // "增加" still checks what was typed.
  Press(&dialog, "add");
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{texts::kEnterNumber});
  EXPECT_EQ(dialog.table()->count(), 1);
}

TEST(SevenApplyDlg, ImportsSolvesAndTransforms) {
  TempDir dir;
  SevenParams written;
  written.dX0 = 12.34567;
  written.dY0 = -8.5;
  written.dZ0 = 1;
  written.thetaX = 1.23456789012;
  written.thetaY = -0.5;
  written.thetaZ = 2;
  written.dLambda = 0.00000345678;
  std::string error;
  ASSERT_TRUE(WriteSevenParamFile(dir.Path("p.txt"), written, {}, &error)) << error;
  SevenParams expected;
  ASSERT_EQ(ReadSevenParamFile(dir.Path("p.txt"), &expected).status, ParamFileStatus::kOk);

  UiScript ui;
  CSevenApplyDlg dialog(nullptr);
  ui.files = {dir.Path("p.txt")};
  Press(&dialog, "import");
  EXPECT_EQ(dialog.params(), expected);
  EXPECT_EQ(Text(&dialog, "thetaX"), FormatEntryNumber(expected.thetaX));

  // A file that is not a parameter file changes nothing.
  WriteFile(dir.Path("bad.txt"), "Shift: \ndX0: 1\n");
  ui.files = {dir.Path("bad.txt")};
  Press(&dialog, "import");
  // Which line is wrong, after the catalogue text.
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text.rfind(std::string(texts::kWrongFormatFile) + "\n", 0), 0u);
  EXPECT_NE(ui.messages[0].text.find("bad.txt:1"), std::string::npos);
  EXPECT_EQ(dialog.params(), expected);

  // "计算参数" opens the solver; its "确定" brings the values back.
  ui.dialogs.push_back([](wxDialog* d) {
    EXPECT_EQ(Utf8(d->GetTitle()), "空间直角坐标转换参数求解");
    AddShiftedPoints(d);
    Press(d, "solve");
    PressId(d, wxID_OK);
    return d->GetReturnCode();
  });
  Press(&dialog, "computeParams");
  EXPECT_EQ(Text(&dialog, "dX0"), "10");
  EXPECT_EQ(Text(&dialog, "dY0"), "-20");
  EXPECT_EQ(Text(&dialog, "thetaX"), "0");

  // Typed values are what "转换" uses.
  const std::string input = "A 1000 2000 3000\nB -4000 2500 100\nshort\n";
  WriteFile(dir.Path("in.txt"), input);
  Type(&dialog, "dLambda", "0.00001");
  Type(&dialog, "inFile", dir.Path("in.txt"));
  Type(&dialog, "outFile", dir.Path("out.txt"));
  Press(&dialog, "transform");
  BatchSettings s;
  s.seven.dX0 = 10;
  s.seven.dY0 = -20;
  s.seven.dZ0 = 5;
  s.seven.dLambda = 0.00001;
  std::string out;
  RunBatchText(BatchFunction::kSevenApply, s, input, &out);
  EXPECT_EQ(ReadFile(dir.Path("out.txt")), out);
  EXPECT_EQ(ui.launched, std::vector<std::string>{dir.Path("out.txt")});
}

TEST(FourSolveDlg, OnePointGivesTheShiftAndSaveImportRoundTrips) {
  TempDir dir;
  UiScript ui;
  CFourSolveDlg dialog(nullptr);
  EXPECT_EQ(Utf8(dialog.table()->GetColLabelValue(3)), "        x'");
  Press(&dialog, "solve");
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{texts::kNeedOnePoint});

  AddPoint(&dialog, "Q1", {0, 0, 100, 200});
  Press(&dialog, "solve");
  EXPECT_EQ(Text(&dialog, "residuals"),
            "点名 vx(m) vy(m)\nQ1     0.0000     0.0000\nσ0 = - m\n最大残差: Q1 0.0000 m\n");
  EXPECT_EQ(Text(&dialog, "dx0"), "100");
  EXPECT_EQ(Text(&dialog, "dy0"), "200");
  EXPECT_EQ(Text(&dialog, "dTheta"), "0");
  EXPECT_EQ(Text(&dialog, "dLambda"), "0");

  // Two points: a rotation of 0.001 rad.
  dialog.table()->SetGridCursor(0, 1);
  Press(&dialog, "delete");
  EXPECT_EQ(dialog.table()->count(), 0);
  AddPoint(&dialog, "Q1", {0, 0, 0, 0});
  AddPoint(&dialog, "Q2", {1000, 0, 1000, 1});
  EXPECT_EQ(dialog.table()->count(), 2);
  Press(&dialog, "solve");
  double dtheta = 0;
  ASSERT_TRUE(ParseEntryNumber(Text(&dialog, "dTheta"), &dtheta));
  EXPECT_NEAR(dtheta, 206.26, 0.01);

  // Saving the parameters offers the residual report too.
  ui.files = {dir.Path("four.txt"), dir.Path("four_report.txt")};
  Press(&dialog, "saveParams");
  EXPECT_EQ(ReadFile(dir.Path("four.txt")),
            FormatFourParamFile(dialog.params(), dialog.table()->rows()));
  EXPECT_EQ(ReadFile(dir.Path("four_report.txt")),
            FormatResidualReport(FourResiduals(dialog.table()->rows(), dialog.params())));
  ASSERT_FALSE(ui.messages.empty());
  EXPECT_EQ(ui.messages.back().text, "是否同时保存各公共点的残差报告？");
  ui.messages.clear();

  CFourApplyDlg apply(nullptr);
  ui.files = {dir.Path("four.txt")};
  Press(&apply, "import");
  EXPECT_EQ(apply.params().dTheta, RoundDecimals(dialog.params().dTheta, 11));
  EXPECT_EQ(apply.params().dLambda, RoundDecimals(dialog.params().dLambda, 11));
  EXPECT_EQ(apply.params().dx0, RoundDecimals(dialog.params().dx0, 4));
  EXPECT_TRUE(ui.messages.empty());
}

TEST(FourApplyDlg, HandsOverSolvedValuesAndTransforms) {
  TempDir dir;
  UiScript ui;
  CFourApplyDlg dialog(nullptr);
  ui.dialogs.push_back([](wxDialog* d) {
    AddPoint(d, "Q1", {0, 0, 100, 200});
    Press(d, "solve");
    PressId(d, wxID_OK);
    return d->GetReturnCode();
  });
  Press(&dialog, "computeParams");
  EXPECT_EQ(dialog.params().dx0, 100.0);
  EXPECT_EQ(Text(&dialog, "dy0"), "200");

  // Closing the solver any other way keeps the values.
  ui.dialogs.push_back([](wxDialog* d) {
    AddPoint(d, "Q1", {0, 0, 1, 1});
    Press(d, "solve");
    return static_cast<int>(wxID_CANCEL);
  });
  Press(&dialog, "computeParams");
  EXPECT_EQ(dialog.params().dx0, 100.0);

  const std::string input = "pa 11 22\nlong_name 1000.5 -20.25 ignored\nx 1\n";
  WriteFile(dir.Path("in.txt"), input);
  Type(&dialog, "inFile", dir.Path("in.txt"));
  Type(&dialog, "outFile", dir.Path("out.txt"));
  Press(&dialog, "transform");
  BatchSettings s;
  s.four.dx0 = 100;
  s.four.dy0 = 200;
  std::string out;
  RunBatchText(BatchFunction::kFourApply, s, input, &out);
  EXPECT_EQ(ReadFile(dir.Path("out.txt")), out);
  EXPECT_EQ(out.substr(0, 3), "pa ");

  // A non-number in a parameter field stops the run before any file is touched.
  ui.launched.clear();
  Type(&dialog, "dTheta", "1..5");
  Type(&dialog, "outFile", dir.Path("out2.txt"));
  Press(&dialog, "transform");
  EXPECT_EQ(ui.MessageTexts().back(), texts::kEnterNumber);
  EXPECT_TRUE(ui.launched.empty());
  EXPECT_TRUE(ReadFile(dir.Path("out2.txt")).empty());
}

// The table's rows and shown cells, for comparing states.
std::vector<std::string> Shown(CCommonPointTable* table) {
  std::vector<std::string> out;
  for (int r = 0; r < table->GetNumberRows(); ++r)
    for (int c = 0; c < table->GetNumberCols(); ++c) out.push_back(Utf8(table->GetCellValue(r, c)));
  for (const CommonPointRow& row : table->rows()) {
    out.push_back(row.name);
    out.insert(out.end(), row.cells.begin(), row.cells.end());
  }
  return out;
}

void PressKeys(wxWindow* dialog, int modifiers, int key) {
  wxKeyEvent event(wxEVT_CHAR_HOOK);
  event.m_keyCode = key;
  event.m_controlDown = (modifiers & wxMOD_CONTROL) != 0;
  event.m_shiftDown = (modifiers & wxMOD_SHIFT) != 0;
  event.SetEventObject(dialog);
  dialog->ProcessWindowEvent(event);
}

// Every change of the rows (add, delete, an edited cell, a list read) is a
// step that Ctrl+Z takes back and Ctrl+Y or Ctrl+Shift+Z brings again.
TEST(SevenSolveDlg, TableChangesAreUndoneAndRedone) {
  TempDir dir;
  WriteFile(dir.Path("points.txt"), "Q1 1 2 3 4 5 6\nQ2 7 8 9 10 11 12\n");
  UiScript ui;
  CSevenSolveDlg dialog(nullptr);
  CCommonPointTable* table = dialog.table();
  EXPECT_FALSE(table->CanUndo());
  std::vector<std::vector<std::string>> states = {Shown(table)};
  AddShiftedPoints(&dialog);  // three steps
  states.push_back(Shown(table));
  table->SelectRow(1);
  Press(&dialog, "delete");
  states.push_back(Shown(table));
  EXPECT_EQ(Utf8(table->UndoName()), app_texts::kStepDeleteRow);
  Press(&dialog, "edit");
  ClickCell(table, 0, 1);
  table->cell_editor()->ChangeValue("5.5");
  table->CloseEditor();
  states.push_back(Shown(table));
  EXPECT_EQ(Utf8(table->UndoName()), app_texts::kStepEditCell);
  Type(&dialog, "listFile", dir.Path("points.txt"));
  Press(&dialog, "read");
  ASSERT_EQ(table->count(), 4);
  states.push_back(Shown(table));
  EXPECT_EQ(Utf8(table->UndoName()), app_texts::kStepReadList);

  // Back through the list read (one step), the edit and the delete.
  for (size_t i = states.size() - 1; i >= 2; --i) {
    PressKeys(&dialog, wxMOD_CONTROL, 'Z');
    EXPECT_EQ(Shown(table), states[i - 1]) << i;
  }
  PressKeys(&dialog, wxMOD_CONTROL, 'Y');
  EXPECT_EQ(Shown(table), states[2]);
  PressKeys(&dialog, wxMOD_CONTROL | wxMOD_SHIFT, 'Z');
  EXPECT_EQ(Shown(table), states[3]);
  while (table->CanUndo()) table->Undo();
  EXPECT_EQ(Shown(table), states[0]);
  EXPECT_FALSE(table->CanUndo());
}

}  // namespace
}  // namespace georeckon::test
