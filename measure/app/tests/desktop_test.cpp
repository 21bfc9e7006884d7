// What the program shares with every other desktop program: wx's own texts
// in Chinese.
#include <clocale>
#include <string>

#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/intl.h>
#include <wx/msgdlg.h>
#include <wx/stdpaths.h>
#include <wx/stockitem.h>

#include "common/gui/chinese_texts.h"
#include "common/scoped_locale.h"
#include "tests/gui_test_support.h"

namespace vistamet {
namespace {

using test::Frame;

wxString U(const char* s) { return wxString::FromUTF8(s); }

TEST(ChineseStockTexts, WxOwnButtonsDialogsAndPreviewSpeakChinese) {
  // A stock button without a label of ours, as the standard dialogs make them.
  wxButton cancel(&Frame(), wxID_CANCEL);
  EXPECT_TRUE(cancel.GetLabel().StartsWith(U("取消"))) << cancel.GetLabel();
  EXPECT_EQ(wxGetStockLabel(wxID_CLOSE, wxSTOCK_NOFLAGS), U("关闭"));
  // The print preview's toolbar and a message box's buttons.
  EXPECT_EQ(wxGetTranslation("Print Preview"), U("预览打印"));
  wxMessageDialog ask(&Frame(), "?", "?", wxYES_NO);
  EXPECT_TRUE(ask.GetYesLabel().StartsWith(U("是"))) << ask.GetYesLabel();
}

TEST(ChineseStockTexts, LoadingTheCatalogueLeavesNumbersAlone) {
  common::ScopedLocale comma(LC_NUMERIC, common::kCommaDecimalLocale);
  ASSERT_TRUE(comma.ok()) << "scripts/setup.sh generates the test locale";
  const std::string numeric = std::setlocale(LC_NUMERIC, nullptr);
  const std::string messages = std::setlocale(LC_MESSAGES, nullptr);
  EXPECT_TRUE(common::UseChineseStockTexts(wxStandardPaths::Get().GetExecutablePath()));
  EXPECT_EQ(std::setlocale(LC_NUMERIC, nullptr), numeric);
  EXPECT_EQ(std::setlocale(LC_MESSAGES, nullptr), messages);
  EXPECT_EQ(wxGetStockLabel(wxID_CANCEL, wxSTOCK_NOFLAGS), U("取消"));
}

}  // namespace
}  // namespace vistamet
