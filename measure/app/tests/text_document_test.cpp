// Text files: shown as UTF-8 or code page 936, saved back unchanged or in
// their own encoding.
#include <gtest/gtest.h>
#include <wx/frame.h>
#include <wx/menu.h>
#include <wx/textctrl.h>

#include "common/atomic_file.h"
#include "measure/app/edit_doc.h"
#include "measure/app/edit_view.h"
#include "tests/gui_test_support.h"

namespace vistamet::test {
namespace {

// "距离" in code page 936.
const std::string kCp936Distance = "\xBE\xE0\xC0\xEB";

class TextWindowTest : public testing::Test {
 protected:
  void SetUp() override { CloseAllDocuments(); }
  void TearDown() override { CloseAllDocuments(); }
  TempDir dir_;
};

TEST_F(TextWindowTest, UneditedTextIsSavedByteForByte) {
  const std::string path = dir_.File("report.txt");
  const std::string bytes = kCp936Distance + "\t12.5\r\n\xFF\xFE odd\r\n";
  common::SaveFileAtomically(path, bytes);
  auto* doc = dynamic_cast<CEditDoc*>(Manager().OpenTextFile(wxString::FromUTF8(path)));
  ASSERT_NE(doc, nullptr);
  ASSERT_TRUE(doc->OnSaveDocument(wxString::FromUTF8(path)));
  EXPECT_EQ(ReadFile(path), bytes);
}

TEST_F(TextWindowTest, Cp936TextIsShownAndEditedInItsEncoding) {
  const std::string path = dir_.File("distances.txt");
  common::SaveFileAtomically(path, kCp936Distance + "\r\n1 2 3.0\r\n");
  auto* doc = dynamic_cast<CEditDoc*>(Manager().OpenTextFile(wxString::FromUTF8(path)));
  ASSERT_NE(doc, nullptr);
  wxTextCtrl* text = doc->View()->Text();
  EXPECT_EQ(text->GetValue().ToStdString(wxConvUTF8), "距离\n1 2 3.0\n");
  EXPECT_FALSE(doc->IsModified());
  text->AppendText(wxString::FromUTF8("测试\n"));
  text->MarkDirty();
  EXPECT_TRUE(doc->IsModified());
  ASSERT_TRUE(doc->OnSaveDocument(wxString::FromUTF8(path)));
  EXPECT_EQ(ReadFile(path), kCp936Distance + "\r\n1 2 3.0\r\n\xB2\xE2\xCA\xD4\r\n");
  EXPECT_FALSE(doc->IsModified());
  // The same file again brings the open window forward.
  EXPECT_EQ(Manager().OpenTextFile(wxString::FromUTF8(path)), doc);
}

TEST_F(TextWindowTest, TextWindowHasItsOwnMenu) {
  const std::string path = dir_.File("a.txt");
  common::SaveFileAtomically(path, "abc\n");
  auto* doc = dynamic_cast<CEditDoc*>(Manager().OpenTextFile(wxString::FromUTF8(path)));
  ASSERT_NE(doc, nullptr);
  auto* frame = dynamic_cast<wxFrame*>(doc->View()->GetFrame());
  ASSERT_NE(frame, nullptr);
  wxMenuBar* bar = frame->GetMenuBar();
  ASSERT_NE(bar, nullptr);
  std::vector<std::string> menus;
  for (size_t i = 0; i < bar->GetMenuCount(); ++i)
    menus.push_back(bar->GetMenuLabel(i).ToStdString(wxConvUTF8));
  EXPECT_EQ(menus, (std::vector<std::string>{"文件(&F)", "编辑(&E)", "查看(&V)", "窗口(&W)",
                                             "帮助(&H)"}));
  wxMenu* edit = bar->GetMenu(1);
  std::vector<std::string> items;
  for (wxMenuItem* item : edit->GetMenuItems())
    if (!item->IsSeparator()) items.push_back(item->GetItemLabel().ToStdString(wxConvUTF8));
  EXPECT_EQ(items, (std::vector<std::string>{"撤消(&U)\tCtrl+Z", "剪切(&T)\tCtrl+X",
                                             "复制(&C)\tCtrl+C", "粘贴(&P)\tCtrl+V"}));
}

TEST_F(TextWindowTest, MissingFileOpensNothing) {
  ScriptedDialogs dialogs;
  dialogs.ThenMessage();
  EXPECT_EQ(Manager().OpenTextFile(wxString::FromUTF8(dir_.File("none.txt"))), nullptr);
  EXPECT_EQ(dialogs.Messages().size(), 1u);
  EXPECT_TRUE(Manager().GetDocumentsVector().empty());
}

}  // namespace
}  // namespace vistamet::test
