// Text files: shown as UTF-8 or code page 936, saved back unchanged or in
// their own encoding.
#include <gtest/gtest.h>
#include <wx/frame.h>
#include <wx/menu.h>
#include <wx/textctrl.h>

#include "common/atomic_file.h"
#include "measure/app/edit_document.h"
#include "measure/app/text_file_codec.h"
#include "tests/gui_test_support.h"

namespace vistamet::test {
namespace {

// "距离" in code page 936.
const std::string kCp936Distance = "\xBE\xE0\xC0\xEB";

TEST(TextFileCodec, RecognisesTheEncoding) {
  struct Case {
    const char* note;
    std::string bytes;
    TextEncoding encoding;
    std::string shown;
    bool crlf;
  };
  const Case cases[] = {
      {"ascii", "1 2 3.5\n", TextEncoding::kUtf8, "1 2 3.5\n", false},
      {"utf-8", "距离\n", TextEncoding::kUtf8, "距离\n", false},
      {"cp936", kCp936Distance + "\r\n12\r\n", TextEncoding::kCp936, "距离\n12\n", true},
      {"mixed line ends keep their CR", "a\r\nb\n", TextEncoding::kUtf8, "a\r\nb\n", false},
      {"nul bytes", std::string("a\0b", 3), TextEncoding::kBinary, "a b", false},
      {"empty", "", TextEncoding::kUtf8, "", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.note);
    const DecodedText d = DecodeTextFile(c.bytes);
    EXPECT_EQ(d.encoding, c.encoding);
    EXPECT_EQ(d.utf8, c.shown);
    EXPECT_EQ(d.crlf, c.crlf);
  }
}

TEST(TextFileCodec, EditedTextGoesBackInTheFilesEncoding) {
  const DecodedText cp = DecodeTextFile(kCp936Distance + "\r\n");
  std::string out;
  ASSERT_TRUE(EncodeTextFile("距离\n距离\n", cp, &out));
  EXPECT_EQ(out, kCp936Distance + "\r\n" + kCp936Distance + "\r\n");
  // A character code page 936 cannot hold refuses the save.
  EXPECT_FALSE(EncodeTextFile("距离 \xF0\x9F\x98\x80\n", cp, &out));
  EXPECT_EQ(out, kCp936Distance + "\r\n" + kCp936Distance + "\r\n");

  const DecodedText bom = DecodeTextFile("\xEF\xBB\xBFx\n");
  EXPECT_TRUE(bom.bom);
  EXPECT_EQ(bom.utf8, "x\n");
  ASSERT_TRUE(EncodeTextFile("y\n", bom, &out));
  EXPECT_EQ(out, "\xEF\xBB\xBFy\n");

  EXPECT_FALSE(EncodeTextFile("x", DecodeTextFile(std::string("\0", 1)), &out));
}

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
