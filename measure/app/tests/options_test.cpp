// The options sheet: what OK stores, the field ranges, the camera buttons
// and the per-user settings.
#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/config.h>
#include <wx/notebook.h>
#include <wx/textctrl.h>

#include "measure/app/command_ids.h"
#include "measure/app/options_sheet.h"
#include "measure/app/user_settings_store.h"
#include "tests/gui_test_support.h"

namespace vistamet::test {
namespace {

CVistametDoc ThreePhotoDoc() {
  CVistametDoc doc;
  doc.photoPaths = {"a.bmp", "b.bmp", "c.bmp"};
  doc.photoImages.resize(3);
  doc.photoParams.resize(3);
  doc.adjusted = 1;
  return doc;
}

class OptionsSheetTest : public testing::Test {
 protected:
  OptionsSheetTest() : sheet_(&Frame(), ReadOptions(ThreePhotoDoc())) {}
  COptionsSheet sheet_;
};

TEST_F(OptionsSheetTest, PagesInOrder) {
  ASSERT_EQ(sheet_.Book()->GetPageCount(), 4u);
  EXPECT_EQ(sheet_.GetTitle().ToStdString(wxConvUTF8), "设置");
  EXPECT_EQ(sheet_.Book()->GetPageText(0).ToStdString(wxConvUTF8), "平差设置");
  EXPECT_EQ(sheet_.Book()->GetPageText(1).ToStdString(wxConvUTF8), "图像设置");
  EXPECT_EQ(sheet_.Book()->GetPageText(2).ToStdString(wxConvUTF8), "相机参数");
  EXPECT_EQ(sheet_.Book()->GetPageText(3).ToStdString(wxConvUTF8), "自动保存");
  EXPECT_EQ(sheet_.AutosaveMinutesEdit()->GetValue(), "5");
  EXPECT_EQ(sheet_.AdjustPage()->CoordTol()->GetValue(), "1.5");
  EXPECT_EQ(sheet_.AdjustPage()->AngleTol()->GetValue(), "0.0005");
  EXPECT_EQ(sheet_.AdjustPage()->MaxIter()->GetValue(), "60");
  EXPECT_EQ(sheet_.CameraPage()->Edit(CPageCamera::kFocal)->GetValue(), "7.52");
  // The weight fields are there but not shown.
  EXPECT_FALSE(sheet_.AdjustPage()->WeightX()->IsShown());
  EXPECT_FALSE(sheet_.AdjustPage()->WeightY()->IsShown());
  // Targets are refined and sifted unless the user says otherwise.
  EXPECT_TRUE(sheet_.PhotoPage()->TargetRefine()->GetValue());
  EXPECT_TRUE(sheet_.PhotoPage()->TargetReject()->GetValue());
  EXPECT_FALSE(sheet_.PhotoPage()->TargetWeights()->GetValue());
}

TEST_F(OptionsSheetTest, FieldsOutsideTheirRangesKeepTheSheetOpen) {
  struct Case {
    wxTextCtrl* edit;
    const char* bad;
    const char* message;
    const char* good;  // the edge of the range, accepted
  };
  CPageAdjust* a = sheet_.AdjustPage();
  CPageCamera* c = sheet_.CameraPage();
  const Case cases[] = {
      {a->CoordTol(), "10000.5", "请填入一个在0和10000之间的数字。", "10000"},
      {a->AngleTol(), "0.11", "请填入一个在0和0.1之间的数字。", "0.1"},
      {a->MaxIter(), "201", "请填入一个在0和200之间的整数。", "0"},
      {a->MaxIter(), "2.5", "请键入一个整数。", "200"},
      {a->ControlWeight(), "0.5", "请填入一个在1和10000之间的数字。", "1"},
      {a->WeightX(), "-1", "请填入一个在0和10000之间的数字。", "0"},
      {c->Edit(CPageCamera::kFocal), "abc", "请键入一个数。", "10000"},
      {c->Edit(CPageCamera::kU0), "-10001", "请填入一个在-10000和10000之间的数字。", "-10000"},
      {c->Edit(CPageCamera::kPixelSize), "1.01", "请填入一个在0和1之间的数字。", "1"},
      {sheet_.AutosaveMinutesEdit(), "-1", "请填入一个在0和1440之间的整数。", "0"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.bad);
    const wxString before = k.edit->GetValue();
    k.edit->SetValue(wxString::FromUTF8(k.bad));
    ScriptedDialogs dialogs;
    dialogs.ThenMessage();
    EXPECT_FALSE(sheet_.Accept());
    ASSERT_EQ(dialogs.Messages().size(), 1u);
    EXPECT_EQ(dialogs.Messages()[0], k.message);
    k.edit->SetValue(wxString::FromUTF8(k.good));
    EXPECT_TRUE(sheet_.Accept());
    k.edit->SetValue(before);
  }
  // Distortion values take any number.
  c->Edit(CPageCamera::kA1)->SetValue("-123456.5");
  EXPECT_TRUE(sheet_.Accept());
  EXPECT_EQ(sheet_.Values().camera.A1, -123456.5);
}

TEST_F(OptionsSheetTest, ARangeMessageBringsItsPageForward) {
  sheet_.Book()->SetSelection(2);
  sheet_.AdjustPage()->MaxIter()->SetValue("500");
  ScriptedDialogs dialogs;
  dialogs.ThenMessage();
  EXPECT_FALSE(sheet_.Accept());
  EXPECT_EQ(sheet_.Book()->GetSelection(), 0);
}

TEST_F(OptionsSheetTest, CameraButtonsAndTheCameraFlag) {
  CPageCamera* page = sheet_.CameraPage();
  page->PresetPixelSize(kPixelSizeD7);  // 0.0036 -> 0.007
  EXPECT_EQ(page->Edit(CPageCamera::kPixelSize)->GetValue(), "0.007");
  EXPECT_TRUE(page->CameraChanged());

  COptionsSheet fresh(&Frame(), [] {
    OptionsValues v = ReadOptions(ThreePhotoDoc());
    v.camera.pixelSize = 0.007;
    return v;
  }());
  fresh.CameraPage()->PresetPixelSize(kPixelSizeD7);  // already 0.007
  EXPECT_FALSE(fresh.CameraPage()->CameraChanged());
  fresh.CameraPage()->Edit(CPageCamera::kFocal)->SetValue("8");  // typing
  EXPECT_TRUE(fresh.CameraPage()->CameraChanged());
}

TEST(OptionsCommand, OkStoresOptionsAndUserSettings) {
  CloseAllDocuments();
  TempDir dir;
  CProjectDocument* doc = Open(WriteProject(dir, "p.vmt", {.adjusted = 1}));
  ASSERT_NE(doc, nullptr);
  ScriptedDialogs dialogs;
  dialogs.Then([](wxDialog* d) {
    auto* sheet = dynamic_cast<COptionsSheet*>(d);
    if (!sheet) return wxID_CANCEL;
    sheet->AdjustPage()->LmsFeature()->SetValue(false);
    sheet->PhotoPage()->AutoPlaneTrans()->SetValue(true);
    sheet->AdjustPage()->MaxIter()->SetValue("30");
    sheet->AdjustPage()->WeightX()->SetValue("0");
    sheet->PhotoPage()->TargetReject()->SetValue(false);
    sheet->PhotoPage()->TargetWeights()->SetValue(true);
    return sheet->Accept() ? wxID_OK : wxID_CANCEL;
  });
  SendCommand(kCmdOptions);
  EXPECT_EQ(dialogs.Unexpected(), 0);
  const CVistametDoc& core = doc->Core();
  EXPECT_EQ(core.options.bLmsFeature, 0);
  EXPECT_EQ(core.bAutoPlaneTrans, 1);
  EXPECT_EQ(core.options.nMaxIter, 30);
  EXPECT_EQ(core.options.dWeightX, 0.000001);
  EXPECT_EQ(core.adjusted, 1);  // the camera was not touched
  EXPECT_TRUE(doc->IsModified());
  wxConfigBase* config = wxConfigBase::Get();
  EXPECT_EQ(config->ReadLong("/Setting/bLmsFeature", -1), 0);
  EXPECT_EQ(config->ReadLong("/Setting/bAutoPlaneTrans", -1), 1);
  EXPECT_EQ(core.targetOptions.refine, 1);
  EXPECT_EQ(core.targetOptions.rejectFalse, 0);
  EXPECT_EQ(core.targetOptions.weightsFromFit, 1);
  EXPECT_EQ(config->ReadLong("/Setting/bTargetReject", -1), 0);
  EXPECT_EQ(config->ReadLong("/Setting/bTargetWeights", -1), 1);
  // A new document starts from the stored settings.
  const CVistametDoc fresh(LoadUserSettings());
  EXPECT_EQ(fresh.options.bLmsFeature, 0);
  EXPECT_EQ(fresh.targetOptions.rejectFalse, 0);
  EXPECT_EQ(fresh.targetOptions.weightsFromFit, 1);
  // The hidden engine choice: only when set by hand.
  EXPECT_EQ(CVistametDoc(LoadUserSettings()).adjustEngine, AdjustEngine::kReduced);
  config->Write("/Setting/DenseAdjustEngine", 1L);
  EXPECT_EQ(CVistametDoc(LoadUserSettings()).adjustEngine, AdjustEngine::kDense);
  config->DeleteEntry("/Setting/DenseAdjustEngine");

  // Cancel changes nothing.
  dialogs.Then([](wxDialog* d) {
    if (auto* sheet = dynamic_cast<COptionsSheet*>(d))
      sheet->AdjustPage()->LmsFeature()->SetValue(true);
    return wxID_CANCEL;
  });
  SendCommand(kCmdOptions);
  EXPECT_EQ(core.options.bLmsFeature, 0);
  EXPECT_EQ(config->ReadLong("/Setting/bLmsFeature", -1), 0);
  StoreLmsFeature(1);
  StoreAutoPlaneTrans(0);
  StoreTargetOptions(TargetOptions{});
  CloseAllDocuments();
}

}  // namespace
}  // namespace vistamet::test
