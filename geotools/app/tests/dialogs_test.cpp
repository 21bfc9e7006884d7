// The function dialogs driven as a user drives them: fields typed, radio
// buttons and buttons pressed, results and written files compared with the
// core's own functions.
#include <gtest/gtest.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/radiobut.h>
#include <wx/dialog.h>
#include <wx/textctrl.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "geotools/app/blh_xyz_dlg.h"
#include "geotools/app/entry_fields.h"
#include "geotools/app/gauss_dlg.h"
#include "geotools/app/geodetic_dlg.h"
#include "geotools/app/param_dlg.h"
#include "geotools/app/plane_coor_dlg.h"
#include "geotools/app/zone_change_dlg.h"
#include "geotools/compute/batch.h"
#include "geotools/compute/cartesian.h"
#include "geotools/compute/gauss_exact.h"
#include "geotools/compute/geodesic.h"
#include "geotools/compute/number_format.h"
#include "geotools/compute/param_description.h"
#include "geotools/compute/texts.h"
#include "tests/gui_test_support.h"

namespace georeckon::test {
namespace {

constexpr int kDms = kPackedDms;
constexpr int kDeg = kDegree;

double Shown(wxWindow* dialog, const char* name) {
  double v = 0;
  EXPECT_TRUE(ParseEntryNumber(Text(dialog, name), &v)) << name << ": " << Text(dialog, name);
  return v;
}

// ------------------------------------------------------ parameter dialog

TEST(ParamDlg, PresetsFillAndLockTheAxisFields) {
  UiScript ui;
  CParamDlg dialog(nullptr, Wgs84Ellipsoid(), kDms, kDms);
  EXPECT_EQ(Text(&dialog, "a"), "6378137");
  EXPECT_EQ(Text(&dialog, "inverseFlattening"), "298.257223563");
  EXPECT_FALSE(Enabled(&dialog, "a"));
  EXPECT_FALSE(Enabled(&dialog, "inverseFlattening"));

  Choose(&dialog, "beijing54");
  EXPECT_EQ(Text(&dialog, "a"), "6378245");
  EXPECT_EQ(Text(&dialog, "inverseFlattening"), "298.3");
  EXPECT_FALSE(Enabled(&dialog, "a"));

  // Custom keeps what is shown and derives e2 and b from it.
  Choose(&dialog, "custom");
  EXPECT_TRUE(Enabled(&dialog, "a"));
  EXPECT_TRUE(Enabled(&dialog, "inverseFlattening"));
  PressId(&dialog, wxID_OK);
  EXPECT_EQ(dialog.GetReturnCode(), wxID_OK);
  const EllipsoidParams e = dialog.ellipsoid();
  EXPECT_EQ(e.type, kCustomEllipsoid);
  EXPECT_EQ(e.a, 6378245.0);
  EXPECT_DOUBLE_EQ(e.f, 1 / 298.3);
  EXPECT_DOUBLE_EQ(e.e2, 2 * e.f - e.f * e.f);
  EXPECT_DOUBLE_EQ(e.b, e.a * (1 - e.f));
  EXPECT_EQ(EllipsoidDescription(e).rfind("自定义椭球", 0), 0u);
  EXPECT_TRUE(ui.messages.empty());
}

TEST(ParamDlg, TakesTheUnitsAndKeepsAPresetAsItIs) {
  UiScript ui;
  CParamDlg dialog(nullptr, Wgs84Ellipsoid(), kDms, kDms);
  Choose(&dialog, "xian80");
  FindControl<wxChoice>(&dialog, "inputUnit")->SetSelection(kRadian);
  FindControl<wxChoice>(&dialog, "outputUnit")->SetSelection(kDegree);
  PressId(&dialog, wxID_OK);
  EXPECT_EQ(dialog.ellipsoid(), Xian80Ellipsoid());
  EXPECT_EQ(dialog.input_unit(), kRadian);
  EXPECT_EQ(dialog.output_unit(), kDegree);
}

TEST(ParamDlg, OffersCgcs2000AndReopensOnIt) {
  UiScript ui;
  CParamDlg dialog(nullptr, Wgs84Ellipsoid(), kDms, kDms);
  Choose(&dialog, "cgcs2000");
  EXPECT_FALSE(Enabled(&dialog, "a"));
  PressId(&dialog, wxID_OK);
  EXPECT_EQ(dialog.ellipsoid(), Cgcs2000Ellipsoid());
  CParamDlg again(nullptr, Cgcs2000Ellipsoid(), kDms, kDms);
  EXPECT_TRUE(FindControl<wxRadioButton>(&again, "cgcs2000")->GetValue());
}

TEST(ParamDlg, RefusesCustomAxesOutsideTheirRanges) {
  struct Case {
    const char* field;
    const char* text;
    const char* message;
  } cases[] = {
      {"a", "999999", "请填入一个在1000000和10000000之间的数字。"},
      {"a", "10000001", "请填入一个在1000000和10000000之间的数字。"},
      {"inverseFlattening", "1001", "请填入一个在2和1000之间的数字。"},
      {"inverseFlattening", "1.5", "请填入一个在2和1000之间的数字。"},
      {"a", "6378km", "请键入一个数。"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.field) + "=" + c.text);
    UiScript ui;
    CParamDlg dialog(nullptr, Beijing54Ellipsoid(), kDms, kDms);
    dialog.SetReturnCode(0);
    Choose(&dialog, "custom");
    Type(&dialog, c.field, c.text);
    PressId(&dialog, wxID_OK);
    EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{c.message});
    EXPECT_NE(dialog.GetReturnCode(), wxID_OK);
    EXPECT_EQ(dialog.ellipsoid(), Beijing54Ellipsoid());
  }
  // The bounds themselves are accepted.
  UiScript ui;
  CParamDlg dialog(nullptr, Wgs84Ellipsoid(), kDms, kDms);
  Choose(&dialog, "custom");
  Type(&dialog, "a", "1000000");
  Type(&dialog, "inverseFlattening", "1000");
  PressId(&dialog, wxID_OK);
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(dialog.ellipsoid().a, 1000000.0);
}

// ------------------------------------------------------ enabling rules

struct EnablingCase {
  const char* title;
  std::function<wxDialog*()> make;
  std::vector<const char*> type0;  // enabled (or editable) with type 0 only
  std::vector<const char*> type1;  // with type 1 only
  bool read_only_edits;            // edits become read-only instead of disabled
};

TEST(FunctionDialogs, RadioButtonsEnableTheirSide) {
  const EllipsoidParams e = Wgs84Ellipsoid();
  const std::vector<EnablingCase> cases = {
      {"BLH-XYZ",
       [&] { return new CBLHXYZDlg(nullptr, e, kDms, kDms); },
       {"forward", "batch0", "B", "L", "H"},
       {"backward", "batch1", "X", "Y", "Z"},
       true},
      {"大地主题解算",
       [&] { return new CGeodeticDlg(nullptr, e, kDms, kDms); },
       {"forward", "batch0", "B2", "L2"},
       {"backward", "batch1", "S", "A"},
       false},
      {"平面坐标解算",
       [&] { return new CPlaneCoorDlg(nullptr, e, kDms, kDms); },
       {"forward", "batch0", "x2", "y2"},
       {"backward", "batch1", "S", "A"},
       false},
      {"高斯投影正反算",
       [&] { return new CGaussDlg(nullptr, e, kDms, kDms); },
       {"forward", "batch0", "B", "L", "H"},
       {"backward", "batch1", "x", "y", "h"},
       false},
  };
  for (const EnablingCase& c : cases) {
    SCOPED_TRACE(c.title);
    std::unique_ptr<wxDialog> dialog(c.make());
    EXPECT_EQ(Utf8(dialog->GetTitle()), c.title);
    auto check = [&](int type) {
      for (int side = 0; side < 2; ++side) {
        for (const char* name : side == 0 ? c.type0 : c.type1) {
          SCOPED_TRACE(std::string(name) + " with type " + std::to_string(type));
          wxWindow* w = wxWindow::FindWindowByName(name, dialog.get());
          ASSERT_NE(w, nullptr);
          const bool on = side == type;
          auto* edit = dynamic_cast<wxTextCtrl*>(w);
          if (edit && c.read_only_edits) {
            EXPECT_EQ(edit->IsEditable(), on);
          } else {
            EXPECT_EQ(w->IsEnabled(), on);
          }
        }
      }
    };
    check(0);
    Choose(dialog.get(), "type1");
    check(1);
    Choose(dialog.get(), "type0");
    check(0);
    // The fields both directions read stay open.
    EXPECT_TRUE(Enabled(dialog.get(), "inFile"));
  }
}

// ------------------------------------------------------ BLH <-> XYZ

TEST(BLHXYZDlg, ConvertsOnePointBothWays) {
  UiScript ui;
  CBLHXYZDlg dialog(nullptr, Wgs84Ellipsoid(), kDms, kDms);
  EXPECT_EQ(Text(&dialog, "description"),
            "WGS84椭球 (a=6378137.0000m,alfa=1/298.257224)   角度单位:输入  (度.分分秒秒)  ,  "
            "输出  (度.分分秒秒)");
  Type(&dialog, "B", "30");
  Type(&dialog, "L", "120");
  Type(&dialog, "H", "0");
  Press(&dialog, "forward");
  EXPECT_EQ(Text(&dialog, "X"), "-2764128.3196");
  EXPECT_EQ(Text(&dialog, "Y"), "4787610.6883");
  EXPECT_EQ(Text(&dialog, "Z"), "3170373.7354");

  Choose(&dialog, "type1");
  Type(&dialog, "B", "0");
  Press(&dialog, "backward");
  double B, L, H;
  XYZToBLH(-2764128.3196, 4787610.6883, 3170373.7354, kPackedDms, nullptr, &B, &L, &H);
  EXPECT_EQ(Shown(&dialog, "B"), RoundDecimals(B, 10));
  EXPECT_EQ(Shown(&dialog, "L"), RoundDecimals(L, 10));
  EXPECT_EQ(Shown(&dialog, "H"), RoundDecimals(H, 4));
  EXPECT_NEAR(Shown(&dialog, "B"), 30, 1e-9);
  EXPECT_TRUE(ui.messages.empty());
}

TEST(BLHXYZDlg, OutOfRangeOrNonNumberComputesNothing) {
  struct Case {
    const char* field;
    const char* text;
    const char* message;
  } cases[] = {
      {"B", "91", "请填入一个在-90和90之间的数字。"},
      {"B", "-90.0001", "请填入一个在-90和90之间的数字。"},
      {"L", "180.5", "请填入一个在-180和180之间的数字。"},
      {"H", "12,5", "请键入一个数。"},
      {"B", "", "请键入一个数。"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.field) + "=" + c.text);
    UiScript ui;
    CBLHXYZDlg dialog(nullptr, Wgs84Ellipsoid(), kDms, kDms);
    Type(&dialog, "B", "30");
    Type(&dialog, "L", "120");
    Type(&dialog, c.field, c.text);
    Press(&dialog, "forward");
    EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{c.message});
    EXPECT_EQ(Text(&dialog, "X"), "0");
    EXPECT_EQ(Text(&dialog, "Y"), "0");
    // The typed text stays for the user to correct.
    EXPECT_EQ(Text(&dialog, c.field), c.text);
  }
}

TEST(BLHXYZDlg, ChangedParametersStayInTheDialog) {
  UiScript ui;
  CBLHXYZDlg dialog(nullptr, Wgs84Ellipsoid(), kDms, kDms);
  ui.dialogs.push_back([](wxDialog* d) {
    EXPECT_EQ(Utf8(d->GetTitle()), "相关参数");
    Choose(d, "beijing54");
    FindControl<wxChoice>(d, "inputUnit")->SetSelection(kDegree);
    FindControl<wxChoice>(d, "outputUnit")->SetSelection(kDegree);
    PressId(d, wxID_OK);
    return d->GetReturnCode();
  });
  Press(&dialog, "changeParams");
  EXPECT_TRUE(ui.dialogs.empty());
  EXPECT_EQ(Text(&dialog, "description"),
            DialogParamDescription(Beijing54Ellipsoid(), kDegree, kDegree));
  Type(&dialog, "B", "30.5");
  Type(&dialog, "L", "119.9");
  Press(&dialog, "forward");
  double X;
  const EllipsoidParams bj54 = Beijing54Ellipsoid();
  BLHToXYZ(30.5, 119.9, 0, kDegree, &bj54, &X, nullptr, nullptr);
  EXPECT_EQ(Shown(&dialog, "X"), RoundDecimals(X, 4));

  // Cancelled: nothing changes.
  ui.dialogs.push_back([](wxDialog* d) {
    Choose(d, "wgs84");
    return static_cast<int>(wxID_CANCEL);
  });
  Press(&dialog, "changeParams");
  EXPECT_EQ(dialog.ellipsoid(), Beijing54Ellipsoid());
}

// The batch buttons write what the core's batch engine writes for the same
// input and hand the written file to the desktop.
TEST(BLHXYZDlg, BatchWritesTheCoresOutputAndOpensIt) {
  TempDir dir;
  const std::string input =
      "P1 30 120 10\n"
      "\t  P2 31.3030 121.1515 55.5  \n"
      "short\n"
      "P3 30 120\n"
      "a 1 2 3\n";
  WriteFile(dir.Path("in.txt"), input);
  UiScript ui;
  CBLHXYZDlg dialog(nullptr, Xian80Ellipsoid(), kDms, kDeg);
  Type(&dialog, "inFile", dir.Path("in.txt"));
  Type(&dialog, "outFile", dir.Path("out.txt"));
  Press(&dialog, "batch0");
  BatchSettings s;
  s.ellipsoid = Xian80Ellipsoid();
  s.inputUnit = kPackedDms;
  s.outputUnit = kDegree;
  std::string expected;
  RunBatchText(BatchFunction::kBlhToXyz, s, input, &expected);
  EXPECT_EQ(ReadFile(dir.Path("out.txt")), expected);
  EXPECT_EQ(std::count(expected.begin(), expected.end(), '\n'), 3);
  EXPECT_EQ(ui.launched, std::vector<std::string>{dir.Path("out.txt")});
  EXPECT_EQ(ui.MessageTexts(),
            std::vector<std::string>{std::string("已转换 3 行，跳过 2 行\n第 3 行：") +
                                     texts::kLineTooShort + "\n第 4 行：" +
                                     texts::kLineMissingFields});
  ui.messages.clear();

  // XYZ -> BLH of that output, in the output unit.
  Choose(&dialog, "type1");
  Type(&dialog, "inFile", dir.Path("out.txt"));
  Type(&dialog, "outFile", dir.Path("back.txt"));
  Press(&dialog, "batch1");
  std::string back;
  RunBatchText(BatchFunction::kXyzToBlh, s, expected, &back);
  EXPECT_EQ(ReadFile(dir.Path("back.txt")), back);
}

TEST(BLHXYZDlg, BatchFileErrorsAreReportedAndNothingOpens) {
  TempDir dir;
  WriteFile(dir.Path("in.txt"), "P1 30 120 10\n");
  struct Case {
    std::string in, out, message;
  } cases[] = {
      {dir.Path("missing.txt"), dir.Path("out.txt"), texts::kOpenFileError},
      {dir.Path("in.txt"), dir.Path("no/such/folder/out.txt"), texts::kCreateFileError},
      {dir.Path("in.txt"), dir.Path("in.txt"), texts::kSameFileError},
      {"", dir.Path("out.txt"), texts::kOpenFileError},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    UiScript ui;
    CBLHXYZDlg dialog(nullptr, Wgs84Ellipsoid(), kDms, kDms);
    Type(&dialog, "inFile", c.in);
    Type(&dialog, "outFile", c.out);
    Press(&dialog, "batch0");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, c.message);
    EXPECT_TRUE(ui.messages[0].style & wxICON_ERROR);
    EXPECT_TRUE(ui.launched.empty());
  }
  EXPECT_EQ(ReadFile(dir.Path("in.txt")), "P1 30 120 10\n");
}

TEST(BLHXYZDlg, ChoosersFillTheFileEdits) {
  UiScript ui;
  CBLHXYZDlg dialog(nullptr, Wgs84Ellipsoid(), kDms, kDms);
  ui.files = {"/data/points.txt", "/data/result.txt"};
  Press(&dialog, "inFileBrowse");
  Press(&dialog, "outFileBrowse");
  EXPECT_EQ(Text(&dialog, "inFile"), "/data/points.txt");
  EXPECT_EQ(Text(&dialog, "outFile"), "/data/result.txt");
  ASSERT_EQ(ui.file_requests.size(), 2u);
  EXPECT_FALSE(ui.file_requests[0].save);
  EXPECT_EQ(ui.file_requests[0].filter, "(*.*)|*.*||");
  EXPECT_TRUE(ui.file_requests[1].save);
  EXPECT_EQ(ui.file_requests[1].default_extension, "txt");
  EXPECT_EQ(WithDefaultExtension("/d/result", "txt"), "/d/result.txt");
  EXPECT_EQ(WithDefaultExtension("/d/result.dat", "txt"), "/d/result.dat");
  EXPECT_EQ(WxFilter("文本文件(*.txt)|*.txt|所有文件(*.*)|*.*||"),
            "文本文件(*.txt)|*.txt|所有文件(*.*)|*.*");
}

// ------------------------------------------------------ geodetic problems

TEST(GeodeticDlg, InverseThenDirectReturnsThePoint) {
  UiScript ui;
  CGeodeticDlg dialog(nullptr, Wgs84Ellipsoid(), kDeg, kDeg);
  Type(&dialog, "B1", "30");
  Type(&dialog, "L1", "0");
  Type(&dialog, "B2", "31");
  Type(&dialog, "L2", "10");
  Press(&dialog, "forward");
  double S, A;
  ASSERT_TRUE(GeodeticInverse(30, 0, 31, 10, kDegree, kDegree, nullptr, &S, &A));
  EXPECT_EQ(Shown(&dialog, "S"), RoundDecimals(S, 5));
  EXPECT_EQ(Shown(&dialog, "A"), RoundDecimals(A, 10));
  EXPECT_NEAR(Shown(&dialog, "A"), 80.8867040, 1e-6);

  Choose(&dialog, "type1");
  Type(&dialog, "B2", "0");
  Type(&dialog, "L2", "0");
  Press(&dialog, "backward");
  EXPECT_NEAR(Shown(&dialog, "B2"), 31, 1e-9);
  EXPECT_NEAR(Shown(&dialog, "L2"), 10, 1e-9);

  // A negative distance is outside the field's limits: nothing computed.
  Type(&dialog, "S", "-1");
  Press(&dialog, "backward");
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"请填入一个在0和1e+29之间的数字。"});
  EXPECT_NEAR(Shown(&dialog, "B2"), 31, 1e-9);
}

TEST(GeodeticDlg, BatchDirectMatchesTheCore) {
  TempDir dir;
  const std::string input = "30 0 966000 80.8\n31 10 0 0\n10 20\n";
  WriteFile(dir.Path("in.txt"), input);
  UiScript ui;
  CGeodeticDlg dialog(nullptr, Wgs84Ellipsoid(), kDeg, kDeg);
  Choose(&dialog, "type1");
  Type(&dialog, "inFile", dir.Path("in.txt"));
  Type(&dialog, "outFile", dir.Path("out.txt"));
  Press(&dialog, "batch1");
  BatchSettings s;
  s.inputUnit = s.outputUnit = kDegree;
  std::string expected;
  RunBatchText(BatchFunction::kGeodeticDirect, s, input, &expected);
  EXPECT_EQ(ReadFile(dir.Path("out.txt")), expected);
  EXPECT_EQ(ui.launched.size(), 1u);
  // The incomplete third line is told, not dropped silently.
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{std::string("已转换 2 行，跳过 1 行\n第 3 行：") +
                                                        texts::kLineTooShort});
}

TEST(GeodeticDlg, BatchListsTheFirstFewLinesLeftOut) {
  TempDir dir;
  std::string input = "30 0 966000 80.8\n\nshort\n";
  for (int i = 0; i < 6; ++i) input += "nan 0 1 1\n";
  WriteFile(dir.Path("in.txt"), input);
  UiScript ui;
  CGeodeticDlg dialog(nullptr, Wgs84Ellipsoid(), kDeg, kDeg);
  Choose(&dialog, "type1");
  Type(&dialog, "inFile", dir.Path("in.txt"));
  Type(&dialog, "outFile", dir.Path("out.txt"));
  Press(&dialog, "batch1");
  ASSERT_EQ(ui.messages.size(), 1u);
  // The blank line 2 is no data and not counted; five lines listed, then more.
  EXPECT_EQ(ui.messages[0].text,
            std::string("已转换 1 行，跳过 7 行\n第 3 行：") + texts::kLineTooShort +
                "\n第 4 行：" + texts::kNotFiniteInput + "\n第 5 行：" + texts::kNotFiniteInput +
                "\n第 6 行：" + texts::kNotFiniteInput + "\n第 7 行：" + texts::kNotFiniteInput +
                "\n……");
  EXPECT_EQ(ReadFile(dir.Path("out.txt")).find("nan"), std::string::npos);
}

// ------------------------------------------------------ plane problems

TEST(PlaneCoorDlg, InverseAndDirect) {
  struct Case {
    const char* x2;
    const char* y2;
    double azimuth;  // degrees
  } cases[] = {{"0", "10", 90}, {"-10", "0", 180}, {"-10", "-10", 225}, {"10", "-10", 315}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.x2) + "," + c.y2);
    UiScript ui;
    CPlaneCoorDlg dialog(nullptr, Wgs84Ellipsoid(), kDeg, kDeg);
    EXPECT_EQ(Text(&dialog, "description"), "角度单位:输入  (度)  ,  输出  (度)");
    Type(&dialog, "x2", c.x2);
    Type(&dialog, "y2", c.y2);
    Press(&dialog, "forward");
    EXPECT_EQ(Shown(&dialog, "A"), c.azimuth);
    // Back from the distance and azimuth shown.
    Choose(&dialog, "type1");
    Type(&dialog, "x2", "0");
    Type(&dialog, "y2", "0");
    Press(&dialog, "backward");
    EXPECT_NEAR(Shown(&dialog, "x2"), std::stod(c.x2), 1e-9);
    EXPECT_NEAR(Shown(&dialog, "y2"), std::stod(c.y2), 1e-9);
    EXPECT_TRUE(ui.messages.empty());
  }
}

TEST(PlaneCoorDlg, BatchReportsLinesItCouldNotCompute) {
  TempDir dir;
  const std::string input = "0 0 10 90\n0 0 -5 90\n1 1 0 0\n";
  WriteFile(dir.Path("in.txt"), input);
  UiScript ui;
  CPlaneCoorDlg dialog(nullptr, Wgs84Ellipsoid(), kDeg, kDeg);
  Choose(&dialog, "type1");
  Type(&dialog, "inFile", dir.Path("in.txt"));
  Type(&dialog, "outFile", dir.Path("out.txt"));
  Press(&dialog, "batch1");
  BatchSettings s;
  s.inputUnit = s.outputUnit = kDegree;
  std::string expected;
  RunBatchText(BatchFunction::kPlaneDirect, s, input, &expected);
  EXPECT_EQ(ReadFile(dir.Path("out.txt")), expected);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, std::string("已转换 2 行，跳过 1 行\n第 2 行：") +
                                     texts::kNegativeDistance);
  EXPECT_EQ(ui.launched.size(), 1u);
}

// ------------------------------------------------------ Gauss projection

TEST(GaussDlg, ProjectsAndWarnsFarFromTheMeridian) {
  UiScript ui;
  CGaussDlg dialog(nullptr, Wgs84Ellipsoid(), kDeg, kDeg);
  EXPECT_EQ(Text(&dialog, "yConst"), "500000");
  Type(&dialog, "L0", "117");
  Type(&dialog, "B", "30.5");
  Type(&dialog, "L", "119.9");
  Press(&dialog, "forward");
  EXPECT_EQ(Text(&dialog, "x"), "3379120.2416");
  EXPECT_EQ(Text(&dialog, "y"), "778454.9492");
  EXPECT_TRUE(ui.messages.empty());

  Choose(&dialog, "type1");
  Type(&dialog, "B", "0");
  Type(&dialog, "L", "0");
  Press(&dialog, "backward");
  EXPECT_NEAR(Shown(&dialog, "B"), 30.5, 3e-9);
  EXPECT_NEAR(Shown(&dialog, "L"), 119.9, 3e-9);

  // 3.5 degrees from the central meridian: one warning, then the result.
  Choose(&dialog, "type0");
  Type(&dialog, "B", "30.5");
  Type(&dialog, "L", "120.5");
  Press(&dialog, "forward");
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{texts::kLongitudeOver3});
  const ProjectedPoint p = GaussForward(30.5, 120.5, 0, kDegree, 117, 500000, nullptr);
  EXPECT_EQ(Shown(&dialog, "y"), RoundDecimals(p.y, 4));

  // Out-of-range central meridian: nothing computed.
  ui.messages.clear();
  Type(&dialog, "L0", "181");
  Press(&dialog, "forward");
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"请填入一个在-180和180之间的数字。"});
  EXPECT_EQ(Shown(&dialog, "y"), RoundDecimals(p.y, 4));
}

TEST(GaussDlg, BatchDoesNotWarn) {
  TempDir dir;
  const std::string input = "P1 30.5 119.9 12\nP2 30.5 121.0 0\n";
  WriteFile(dir.Path("in.txt"), input);
  UiScript ui;
  CGaussDlg dialog(nullptr, Wgs84Ellipsoid(), kDeg, kDeg);
  Type(&dialog, "L0", "117");
  Type(&dialog, "inFile", dir.Path("in.txt"));
  Type(&dialog, "outFile", dir.Path("out.txt"));
  Press(&dialog, "batch0");
  BatchSettings s;
  s.inputUnit = s.outputUnit = kDegree;
  s.l0 = 117;
  std::string expected;
  RunBatchText(BatchFunction::kGaussForward, s, input, &expected);
  EXPECT_EQ(ReadFile(dir.Path("out.txt")), expected);
  EXPECT_TRUE(ui.messages.empty());
}

// Picks entry `index` of the choice `name` as the user would.
void PickChoice(wxWindow* dialog, const char* name, int index) {
  wxChoice* choice = FindControl<wxChoice>(dialog, name);
  ASSERT_NE(choice, nullptr) << name;
  choice->SetSelection(index);
  wxCommandEvent event(wxEVT_CHOICE, choice->GetId());
  event.SetEventObject(choice);
  event.SetInt(index);
  choice->GetEventHandler()->ProcessEvent(event);
}

void Check(wxWindow* dialog, const char* name, bool on) {
  wxCheckBox* box = FindControl<wxCheckBox>(dialog, name);
  ASSERT_NE(box, nullptr) << name;
  box->SetValue(on);
}

TEST(GaussDlg, ZonesFromThePointWithPrefixAndRemembered) {
  UiScript ui;
  {
    CGaussDlg dialog(nullptr, Wgs84Ellipsoid(), kDeg, kDeg);
    PickChoice(&dialog, "zoneWidth", 0);
    EXPECT_FALSE(Enabled(&dialog, "zonePrefix"));
    PickChoice(&dialog, "zoneWidth", 2);  // 6° zones
    EXPECT_TRUE(Enabled(&dialog, "zonePrefix"));
    Check(&dialog, "zoneFromPoint", true);
    Check(&dialog, "zonePrefix", true);
    Type(&dialog, "L0", "0");
    Type(&dialog, "B", "30.5");
    Type(&dialog, "L", "119.9");
    Press(&dialog, "forward");
    EXPECT_EQ(Shown(&dialog, "L0"), 117);
    EXPECT_EQ(Shown(&dialog, "zone"), 20);
    EXPECT_EQ(Text(&dialog, "y"), "20778454.9492");
    EXPECT_TRUE(ui.messages.empty());

    // Back from the prefixed y alone.
    Choose(&dialog, "type1");
    Type(&dialog, "L0", "0");
    Press(&dialog, "backward");
    EXPECT_EQ(Shown(&dialog, "L0"), 117);
    EXPECT_NEAR(Shown(&dialog, "L"), 119.9, 3e-9);

    // A fixed meridian of another zone: the prefix does not match.
    Check(&dialog, "zoneFromPoint", false);
    Type(&dialog, "zone", "19");
    Press(&dialog, "zoneMeridian");
    EXPECT_EQ(Shown(&dialog, "L0"), 111);
    Press(&dialog, "backward");
    EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{texts::kPrefixMismatch});

    // 3° zones about 111: 119.9 lies far outside.
    ui.messages.clear();
    PickChoice(&dialog, "zoneWidth", 1);
    Choose(&dialog, "type0");
    Check(&dialog, "zonePrefix", false);
    Press(&dialog, "forward");
    EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{texts::kOutsideZone});
  }
  // The next dialog starts from the meridian and width last used.
  CGaussDlg again(nullptr, Wgs84Ellipsoid(), kDeg, kDeg);
  EXPECT_EQ(Shown(&again, "L0"), 111);
  EXPECT_EQ(FindControl<wxChoice>(&again, "zoneWidth")->GetSelection(), 1);
  EXPECT_EQ(Shown(&again, "zone"), 37);
  PickChoice(&again, "zoneWidth", 0);  // leave no zones for the other tests
  Type(&again, "L0", "0");
}

TEST(GaussDlg, ExactProjectionForOnePointAndAFile) {
  TempDir dir;
  const std::string input = "P1 30.5 122.9 12\n";
  WriteFile(dir.Path("in.txt"), input);
  UiScript ui;
  CGaussDlg dialog(nullptr, Wgs84Ellipsoid(), kDeg, kDeg);
  Check(&dialog, "exact", true);
  Type(&dialog, "L0", "117");
  Type(&dialog, "B", "30.5");
  Type(&dialog, "L", "122.9");
  Press(&dialog, "forward");
  ProjectedPoint p;
  ASSERT_TRUE(GaussForwardExact(30.5, 122.9, 0, kDegree, 117, 500000, nullptr, &p));
  EXPECT_EQ(Shown(&dialog, "y"), RoundDecimals(p.y, 4));
  // Nearly 6° out the classical series differ by centimetres.
  const ProjectedPoint c = GaussForward(30.5, 122.9, 0, kDegree, 117, 500000, nullptr);
  EXPECT_GT(std::fabs(c.y - p.y), 1e-3);

  Type(&dialog, "inFile", dir.Path("in.txt"));
  Type(&dialog, "outFile", dir.Path("out.txt"));
  Press(&dialog, "batch0");
  BatchSettings s;
  s.inputUnit = s.outputUnit = kDegree;
  s.l0 = 117;
  s.exactProjection = true;
  std::string expected;
  RunBatchText(BatchFunction::kGaussForward, s, input, &expected);
  EXPECT_EQ(ReadFile(dir.Path("out.txt")), expected);
  Type(&dialog, "L0", "0");
}

TEST(GaussDlg, BatchInZonesWarnsOnceAfterTheRun) {
  TempDir dir;
  const std::string input = "P1 30.5 119.9 12\nP2 30.5 121.0 0\nP3 30.5 122.0 0\n";
  WriteFile(dir.Path("in.txt"), input);
  UiScript ui;
  CGaussDlg dialog(nullptr, Wgs84Ellipsoid(), kDeg, kDeg);
  PickChoice(&dialog, "zoneWidth", 2);
  Type(&dialog, "L0", "117");
  Type(&dialog, "inFile", dir.Path("in.txt"));
  Type(&dialog, "outFile", dir.Path("out.txt"));
  Press(&dialog, "batch0");
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text.rfind(texts::kOutsideZone, 0), 0u);
  EXPECT_NE(ui.messages[0].text.find("共 2 行（第一处在第 2 行）"), std::string::npos);
  PickChoice(&dialog, "zoneWidth", 0);
  Type(&dialog, "L0", "0");
}

// ------------------------------------------------------ zone change

TEST(ZoneChangeDlg, ChangesZoneAndWarnsOncePerAction) {
  TempDir dir;
  const std::string input =
      "A 3379120.2416 778454.9492 5\nB 3379000 700000 0\nC 3300000 500000 1\n";
  WriteFile(dir.Path("in.txt"), input);
  UiScript ui;
  CZoneChangeDlg dialog(nullptr, Wgs84Ellipsoid());
  EXPECT_EQ(Text(&dialog, "description"), "WGS84椭球 (a=6378137.0000m,alfa=1/298.257224)");
  Type(&dialog, "x1", "3379120.2416");
  Type(&dialog, "y1", "778454.9492");
  Type(&dialog, "h1", "5");
  Type(&dialog, "L0_1", "111");
  Type(&dialog, "L0_2", "120");
  Press(&dialog, "compute");
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{texts::kMeridiansOver6});
  const ProjectedPoint p = GaussZoneChange(3379120.2416, 778454.9492, 5, 111, 120, 500000, nullptr);
  EXPECT_EQ(Shown(&dialog, "x2"), RoundDecimals(p.x, 4));
  EXPECT_EQ(Shown(&dialog, "y2"), RoundDecimals(p.y, 4));
  EXPECT_EQ(Text(&dialog, "h2"), "5");

  // A whole file warns once, not once per line.
  ui.messages.clear();
  Type(&dialog, "inFile", dir.Path("in.txt"));
  Type(&dialog, "outFile", dir.Path("out.txt"));
  Press(&dialog, "batch0");
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{texts::kMeridiansOver6});
  BatchSettings s;
  s.l0 = 111;
  s.l0_2 = 120;
  std::string expected;
  RunBatchText(BatchFunction::kZoneChange, s, input, &expected);
  EXPECT_EQ(ReadFile(dir.Path("out.txt")), expected);

  // Same meridian both sides: back where it started, no warning.
  ui.messages.clear();
  Type(&dialog, "L0_1", "117");
  Type(&dialog, "L0_2", "117");
  Press(&dialog, "compute");
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_NEAR(Shown(&dialog, "x2"), 3379120.2416, 1e-3);
  EXPECT_NEAR(Shown(&dialog, "y2"), 778454.9492, 1e-3);
}

}  // namespace
}  // namespace georeckon::test
