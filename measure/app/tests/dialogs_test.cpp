// The dialogs of numbering and of a new project, the about box and its link.
#include <unistd.h>

#include <functional>

#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/textctrl.h>

#include "common/atomic_file.h"
#include "common/scoped_locale.h"
#include "measure/model/photo_encode.h"
#include "measure/model/vistamet_doc.h"
#include "measure/app/about_dialog.h"
#include "measure/app/gui_prompt.h"
#include "measure/app/hyper_link.h"
#include "measure/app/new_project_dialog.h"
#include "measure/app/offset_dialog.h"
#include "measure/app/rename_dialog.h"
#include "measure/app/space_point_dialog.h"
#include "tests/gui_test_support.h"

namespace vistamet::test {
namespace {

std::string Utf8(const wxString& s) { return s.ToStdString(wxConvUTF8); }

TEST(SpacePointDialog, ReferenceNumbersFillTheSquaresCorners) {
  struct Case {
    const char* number;
    const char* x;
    const char* y;
  };
  const Case cases[] = {{"1000", "0", "0"}, {"1001", "501", "0"}, {"1002", "501", "501"},
                        {"1003", "0", "501"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.number);
    SpacePoint record;
    record.pointNumber = 7;
    CSpacePointDialog dialog(&Frame(), record);
    EXPECT_FALSE(dialog.CoordinatesShown());
    dialog.NumberEdit()->SetValue(c.number);  // as typed
    EXPECT_TRUE(dialog.ControlBox()->GetValue());
    EXPECT_TRUE(dialog.CoordinatesShown());
    EXPECT_EQ(Utf8(dialog.CoordEdit(0)->GetValue()), c.x);
    EXPECT_EQ(Utf8(dialog.CoordEdit(1)->GetValue()), c.y);
    EXPECT_EQ(Utf8(dialog.CoordEdit(2)->GetValue()), "0");
    ASSERT_TRUE(dialog.Accept());
    EXPECT_EQ(dialog.Record().controlFlag, 1);
    EXPECT_EQ(dialog.Record().pointNumber, std::atoi(c.number));

    // Proposed by the numbering rather than typed: the same corner, OK as
    // it stands.
    SpacePoint proposed;
    proposed.pointNumber = std::atoi(c.number);
    CSpacePointDialog offered(&Frame(), proposed);
    EXPECT_TRUE(offered.ControlBox()->GetValue());
    EXPECT_TRUE(offered.CoordinatesShown());
    ASSERT_TRUE(offered.Accept());
    EXPECT_EQ(offered.Record().controlFlag, 1);
    EXPECT_EQ(offered.Record().X, std::atof(c.x));
    EXPECT_EQ(offered.Record().Y, std::atof(c.y));
  }
}

TEST(SpacePointDialog, CoordinatesOnlyForControlPoints) {
  SpacePoint record;
  record.pointNumber = 12;
  record.controlFlag = 1;
  record.X = 1234.5;
  record.rayCount = 3;
  record.aux2 = 9.25;
  CSpacePointDialog dialog(&Frame(), record);
  EXPECT_TRUE(dialog.CoordinatesShown());
  EXPECT_TRUE(dialog.CoordEdit(0)->IsEditable());
  EXPECT_EQ(Utf8(dialog.CoordEdit(0)->GetValue()), "1234.5");
  const int tall = dialog.GetSize().y;
  dialog.ControlBox()->SetValue(false);
  wxCommandEvent toggle(wxEVT_CHECKBOX, dialog.ControlBox()->GetId());
  toggle.SetEventObject(dialog.ControlBox());
  toggle.SetInt(0);
  dialog.ControlBox()->ProcessWindowEvent(toggle);
  EXPECT_FALSE(dialog.CoordinatesShown());
  EXPECT_FALSE(dialog.CoordEdit(0)->IsEditable());
  EXPECT_LT(dialog.GetSize().y, tall);  // shortened
  ASSERT_TRUE(dialog.Accept());
  // The fields the dialog does not show come back unchanged.
  EXPECT_EQ(dialog.Record().controlFlag, 0);
  EXPECT_EQ(dialog.Record().rayCount, 3);
  EXPECT_EQ(dialog.Record().aux2, 9.25);
  EXPECT_EQ(dialog.Record().X, 1234.5);
}

TEST(NumberDialogs, RangesOfTheNumbers) {
  struct Case {
    const char* what;
    const char* value;
    bool accepted;
    const char* message;
  };
  const Case space[] = {
      {"space", "0", true, ""},
      {"space", "10000", true, ""},
      {"space", "10001", false, "请填入一个在0和10000之间的整数。"},
      {"space", "-1", false, "请填入一个在0和10000之间的整数。"},
      {"space", "x1", false, "请键入一个整数。"},
      {"rename", "30000", true, ""},
      {"rename", "30001", false, "请填入一个在0和30000之间的整数。"},
      {"offset", "-100000000", true, ""},
      {"offset", "100000000.5", false, "请填入一个在-100000000和100000000之间的数字。"},
      {"offset", "", false, "请键入一个数。"},
  };
  for (const Case& c : space) {
    SCOPED_TRACE(std::string(c.what) + " " + c.value);
    ScriptedDialogs dialogs;
    dialogs.ThenMessage();
    bool accepted = false;
    const std::string what = c.what;
    if (what == "space") {
      CSpacePointDialog d(&Frame(), SpacePoint{});
      d.NumberEdit()->SetValue(c.value);
      accepted = d.Accept();
      if (accepted) {
        EXPECT_EQ(d.Record().pointNumber, std::atoi(c.value));
      }
    } else if (what == "rename") {
      CRenameDialog d(&Frame(), 5);
      EXPECT_EQ(Utf8(d.OldEdit()->GetValue()), "5");
      EXPECT_FALSE(d.OldEdit()->IsEditable());
      d.NewEdit()->SetValue(c.value);
      accepted = d.Accept();
      if (accepted) {
        EXPECT_EQ(d.NewNumber(), std::atoi(c.value));
      }
    } else {
      COffsetDialog d(&Frame());
      EXPECT_EQ(Utf8(d.Edit(1)->GetValue()), "0");
      d.Edit(0)->SetValue(c.value);
      accepted = d.Accept();
      if (accepted) {
        EXPECT_EQ(d.X(), std::atof(c.value));
      }
    }
    EXPECT_EQ(accepted, c.accepted);
    if (c.accepted) {
      EXPECT_TRUE(dialogs.Messages().empty());
    } else {
      ASSERT_EQ(dialogs.Messages().size(), 1u);
      EXPECT_EQ(dialogs.Messages()[0], c.message);
    }
  }
}

TEST(NumberDialogs, FieldsUseAPointWhateverTheLocale) {
  common::ScopedLocale comma(LC_ALL, common::kCommaDecimalLocale);
  ASSERT_TRUE(comma.ok()) << common::kCommaDecimalLocale << " is missing: run scripts/setup.sh";
  char buf[16];
  std::snprintf(buf, sizeof buf, "%.2f", 2.25);
  ASSERT_STREQ(buf, "2,25");  // the process really writes a decimal comma
  SpacePoint control;
  control.pointNumber = 7;
  control.controlFlag = 1;
  control.X = 1.5;
  CSpacePointDialog d(&Frame(), control);
  ASSERT_TRUE(d.TransferDataToWindow());
  wxTextCtrl* x = nullptr;
  std::function<void(wxWindow*)> find = [&](wxWindow* parent) {
    for (wxWindow* w : parent->GetChildren()) {
      if (auto* t = dynamic_cast<wxTextCtrl*>(w); t && t->GetValue() == "1.5") x = t;
      find(w);
    }
  };
  find(&d);
  ASSERT_NE(x, nullptr) << "no field shows 1.5";
  x->SetValue("-12.125");
  ScriptedDialogs dialogs;
  ASSERT_TRUE(d.Accept());
  EXPECT_TRUE(dialogs.Messages().empty());
  EXPECT_EQ(d.Record().X, -12.125);
}

TEST(NewProjectDialog, SameFileListedOnceAndTwoPhotosNeeded) {
  TempDir dir;
  const std::string a = WritePhoto(dir.File("a.bmp"));
  const std::string b = WritePhoto(dir.File("b.bmp"));
  const std::string a_link = dir.File("a-link.bmp");
  ASSERT_EQ(::symlink(a.c_str(), a_link.c_str()), 0);
  // A different file whose name only starts like another is still listed.
  const std::string longer = WritePhoto(dir.File("a.bmp.bmp"));

  CNewProjectDialog dialog(&Frame());
  EXPECT_FALSE(dialog.OkButton()->IsEnabled());
  dialog.AddPaths({a, a, a_link});
  EXPECT_EQ(dialog.Paths().size(), 1u);
  EXPECT_EQ(dialog.PhotoList()->GetCount(), 1u);
  EXPECT_FALSE(dialog.OkButton()->IsEnabled());
  EXPECT_FALSE(dialog.Accept());
  dialog.AddPaths({longer, b});
  EXPECT_EQ(dialog.Paths(), (std::vector<std::string>{a, longer, b}));
  EXPECT_EQ(Utf8(dialog.PhotoList()->GetStringSelection()), b);
  EXPECT_TRUE(dialog.OkButton()->IsEnabled());
  EXPECT_TRUE(dialog.Accept());
}

TEST(NewProjectDialog, ShowsTheCameraAndTypedValuesWinOverExif) {
  TempDir dir;
  ExifFields exif;
  exif.focalLengthMm = 28;
  exif.focalPlaneXResolution = 2500;  // per cm: 0.004 mm
  exif.resolutionUnit = 3;
  exif.make = "Acme";
  exif.model = "Z-9";
  std::vector<uint8_t> rgb(32 * 24 * 3, 90);
  const std::string jpeg = dir.File("a.jpg");
  ASSERT_TRUE(common::SaveFileAtomically(jpeg, EncodeJpeg(32, 24, 3, rgb.data(), 90,
                                                          BuildExifBlock(exif))));
  const std::string bmp = WritePhoto(dir.File("b.bmp"));

  CNewProjectDialog dialog(&Frame());
  dialog.AddPaths({jpeg});
  EXPECT_NE(dialog.CameraText().find("Acme Z-9"), std::string::npos) << dialog.CameraText();
  EXPECT_NE(dialog.CameraText().find("f 28 mm"), std::string::npos) << dialog.CameraText();
  dialog.AddPaths({bmp});  // the newly added photo is selected and shown
  EXPECT_NE(dialog.CameraText().find("没有相机信息"), std::string::npos) << dialog.CameraText();

  // Blank fields leave the camera to each photo's EXIF.
  EXPECT_EQ(dialog.Camera().f, 0);
  EXPECT_EQ(dialog.Camera().pixelSize, 0);
  CVistametDoc doc;
  ASSERT_EQ(doc.InitNewProject(dialog.Paths(), nullptr, dialog.Camera()), 1);
  EXPECT_DOUBLE_EQ(doc.photoParams[0].f, 28);
  EXPECT_DOUBLE_EQ(doc.photoParams[0].pixelSize, 0.004);

  dialog.FocalField()->ChangeValue("35.5");
  dialog.PixelSizeField()->ChangeValue("0.0051");
  EXPECT_DOUBLE_EQ(dialog.Camera().f, 35.5);
  EXPECT_DOUBLE_EQ(dialog.Camera().pixelSize, 0.0051);
  dialog.FocalField()->ChangeValue("-3");  // not a focal length: EXIF again
  EXPECT_EQ(dialog.Camera().f, 0);
}

TEST(AboutBox, TextsAndLinkColours) {
  CAboutDialog about(&Frame());
  EXPECT_EQ(Utf8(about.GetTitle()), "关于 Vistamet");
  CHyperLink* link = about.ProgramLink();
  EXPECT_EQ(link->TextColour(), wxColour(0, 0, 0xEE));  // 0xEE0000 as 0x00BBGGRR
  wxMouseEvent enter(wxEVT_ENTER_WINDOW);
  link->ProcessWindowEvent(enter);
  EXPECT_EQ(link->TextColour(), wxColour(255, 0, 0));
  wxMouseEvent leave(wxEVT_LEAVE_WINDOW);
  link->ProcessWindowEvent(leave);
  link->MarkVisited();
  EXPECT_EQ(link->TextColour(), wxColour(0x55, 0x1A, 0x8B));  // 0x8B1A55
  EXPECT_TRUE(link->Url().StartsWith("file:"));
}

TEST(GuiPrompt, DocumentQuestionsUseTheRealDialogs) {
  CGuiPrompt prompt([] { return &Frame(); });
  ScriptedDialogs dialogs;
  dialogs.ThenMessage(wxID_YES)
      .Then([](wxDialog* d) {
        auto* dialog = dynamic_cast<CSpacePointDialog*>(d);
        if (!dialog) return wxID_CANCEL;
        dialog->NumberEdit()->SetValue("1001");
        return dialog->Accept() ? wxID_OK : wxID_CANCEL;
      })
      .Then([](wxDialog*) { return wxID_CANCEL; });
  EXPECT_TRUE(prompt.AskYesNo("该编号的空间点已经存在", "", Icon::kQuestion));
  SpacePoint record;
  record.pointNumber = 3;
  EXPECT_TRUE(prompt.EditSpacePoint(record));
  EXPECT_EQ(record.pointNumber, 1001);
  EXPECT_EQ(record.X, 501);
  EXPECT_EQ(record.controlFlag, 1);
  double x = 1, y = 2, z = 3;
  EXPECT_FALSE(prompt.AskOffset(x, y, z));
  EXPECT_EQ(x, 1);
  EXPECT_EQ(dialogs.Unexpected(), 0);
}

}  // namespace
}  // namespace vistamet::test
