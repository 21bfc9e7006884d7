#include "measure/shell/photo_commands.h"

#include <gtest/gtest.h>

#include "measure/model/test_photos.h"
#include "measure/records/test_support.h"

namespace vistamet {
namespace {

using testing::ScriptedPrompt;
using testing::TempDir;

TEST(PhotoCommands, DeleteAsksAndKeepsTheLastPhoto) {
  TempDir dir;
  CVistametDoc doc;
  ScriptedPrompt prompt;
  testing::CountingNotifier notifier;
  doc.SetPrompt(&prompt);
  doc.SetNotifier(&notifier);
  ASSERT_EQ(doc.InitNewProject({testing::WritePhoto(dir.File("a.bmp")),
                                testing::WritePhoto(dir.File("b.bmp"), 16, 12, 1)}),
            1);
  prompt.answers = {false, true};
  EXPECT_EQ(DeletePhotoCommand(doc, 0), 0);  // No keeps it
  EXPECT_EQ(doc.PhotoCount(), 2);
  EXPECT_EQ(DeletePhotoCommand(doc, 0), 1);
  EXPECT_EQ(doc.PhotoCount(), 1);
  EXPECT_EQ(doc.photoPaths[0], dir.File("b.bmp"));
  ASSERT_EQ(prompt.questions.size(), 2u);
  EXPECT_EQ(prompt.questions[0],
            "注意：删除的照片数据不能恢复，建议先保存文件。\n\n真的要删除这张图片？");
  EXPECT_EQ(notifier.codes.back(), ViewUpdate::kAll);
  // The last photo stays, with the message and without a question.
  EXPECT_EQ(DeletePhotoCommand(doc, 0), 0);
  EXPECT_EQ(prompt.questions.size(), 2u);
  ASSERT_FALSE(prompt.messages.empty());
  EXPECT_EQ(prompt.messages.back(), "最少要保留一幅图像!");
}

TEST(PhotoCommands, AddRefusesDuplicatesAndUnreadableFiles) {
  TempDir dir;
  CVistametDoc doc;
  ScriptedPrompt prompt;
  doc.SetPrompt(&prompt);
  const std::string a = testing::WritePhoto(dir.File("a.bmp"));
  ASSERT_EQ(doc.InitNewProject({a, testing::WritePhoto(dir.File("b.bmp"))}), 1);
  EXPECT_EQ(AddPhotoCommand(doc, a), 0);
  EXPECT_EQ(AddPhotoCommand(doc, dir.File("missing.bmp")), 0);
  ASSERT_EQ(prompt.messages.size(), 2u);
  EXPECT_EQ(prompt.messages[0], "新增图片失败！\n可能是所增加的图片已经存在，或者其他原因");
  EXPECT_EQ(doc.PhotoCount(), 2);
  EXPECT_EQ(AddPhotoCommand(doc, testing::WritePhoto(dir.File("c.bmp"))), 1);
  EXPECT_EQ(doc.PhotoCount(), 3);
  doc.autoExtract = 1;
  EXPECT_TRUE(AddedPhotoWantsExtraction(doc));
  doc.autoExtract = 0;
  EXPECT_FALSE(AddedPhotoWantsExtraction(doc));
}

}  // namespace
}  // namespace vistamet
