// The shared "save changes?" rule, on a document of its own so that what it
// asks, saves and closes can be counted.
#include <gtest/gtest.h>
#include <wx/docview.h>

#include "common/gui/save_modified.h"

namespace georeckon::test {
namespace {

class CountingDoc : public wxDocument {
 public:
  bool Save() override {
    ++saves;
    if (save_succeeds) Modify(false);
    return save_succeeds;
  }
  bool OnSaveModified() override {
    return common::SaveModifiedDocument(*this, [this] {
      ++questions;
      return answer;
    });
  }

  int answer = wxCANCEL;
  bool save_succeeds = true;
  int questions = 0;
  int saves = 0;
};

TEST(SaveModifiedDocument, UnmodifiedClosesWithoutAsking) {
  CountingDoc doc;
  EXPECT_TRUE(doc.Close());
  EXPECT_EQ(doc.questions, 0);
  EXPECT_EQ(doc.saves, 0);
}

TEST(SaveModifiedDocument, NoDropsTheChangesAndCloses) {
  CountingDoc doc;
  doc.Modify(true);
  doc.answer = wxNO;
  EXPECT_TRUE(doc.Close());
  EXPECT_EQ(doc.questions, 1);
  EXPECT_EQ(doc.saves, 0);
  EXPECT_FALSE(doc.IsModified());
}

TEST(SaveModifiedDocument, CancelKeepsTheDocumentOpenAndModified) {
  CountingDoc doc;
  doc.Modify(true);
  doc.answer = wxCANCEL;
  EXPECT_FALSE(doc.Close());
  EXPECT_TRUE(doc.IsModified());
  EXPECT_EQ(doc.saves, 0);
  // Asked again on the next attempt.
  doc.answer = wxNO;
  EXPECT_TRUE(doc.Close());
  EXPECT_EQ(doc.questions, 2);
}

TEST(SaveModifiedDocument, YesClosesOnlyWhenSavingSucceeds) {
  CountingDoc doc;
  doc.Modify(true);
  doc.answer = wxYES;
  doc.save_succeeds = false;
  EXPECT_FALSE(doc.Close());
  EXPECT_TRUE(doc.IsModified());
  doc.save_succeeds = true;
  EXPECT_TRUE(doc.Close());
  EXPECT_EQ(doc.saves, 2);
  EXPECT_EQ(doc.questions, 2);
}

}  // namespace
}  // namespace georeckon::test
