#include <gtest/gtest.h>

#include "example_documents.h"
#include "shell/controls.h"
#include "shell/dialog.h"
#include "test_support.h"

namespace quorrel {
namespace {

using testing::FakePort;

TEST(DialogFunc, InitialisationSetsTheDefaultsOfEveryStart) {
  FakePort port;
  BatchState batch;
  // Whatever the controls held, a start selects Auto Detect and SXW only.
  port.checked = {{ID_WPD_RAD, true}, {ID_XML_CHECK, false}};
  DialogFunc(batch, port, InitDialog{});
  std::map<int, bool> expected = {{ID_AUTO_RAD, true},
                                  {ID_WP_RAD, false},
                                  {ID_W51_RAD, false},
                                  {ID_WPD_RAD, false},
                                  {ID_XML_CHECK, true}};
  EXPECT_EQ(port.checked, expected);
  EXPECT_FALSE(port.checked[ID_TXT_CHECK]);
  EXPECT_FALSE(port.checked[ID_HTML_CHECK]);
  EXPECT_TRUE(port.drops_accepted);
  EXPECT_FALSE(port.end_value.has_value());
}

TEST(DialogFunc, QuitAndCloseEndTheDialogWithZero) {
  for (DialogMessage message : {DialogMessage{Command{ID_CANCEL}}, DialogMessage{CloseRequest{}}}) {
    FakePort port;
    BatchState batch;
    port.end_value = 7;
    DialogFunc(batch, port, message);
    EXPECT_EQ(port.end_value, 0);
  }
}

TEST(DialogFunc, FileButtonOpensTheChooser) {
  FakePort port;
  BatchState batch;
  port.chosen = {"/docs/a.wpd", "/docs/b.wpd"};
  DialogFunc(batch, port, Command{ID_FILE_BUT});
  EXPECT_EQ(port.chooser_requests.size(), 1u);
  EXPECT_EQ(batch.filelist, "a.wpd\r\nb.wpd\r\n");
}

TEST(DialogFunc, DropAndConvertRunTheWholeRoad) {
  testing::TempDir dir;
  testing::write_file(dir.file("memo.wpd"), examples::WpdBuilder().text("memo").file());
  FakePort port;
  BatchState batch;
  DialogFunc(batch, port, FilesDropped{{dir.file("memo.wpd")}});
  EXPECT_EQ(port.texts[ID_FROM_TXT], "memo.wpd\r\n");
  port.checked = {{ID_TXT_CHECK, true}, {ID_AUTO_RAD, true}};
  DialogFunc(batch, port, Command{ID_CONVERT});
  EXPECT_EQ(port.texts[ID_TO_TXT], "memo.wpd.txt\r\n");
  EXPECT_EQ(port.texts[ID_FROM_TXT], "");
  EXPECT_EQ(testing::read_file(dir.file("memo.wpd.txt")), "memo");
}

TEST(DialogFunc, OtherControlsChangeNothing) {
  FakePort port;
  BatchState batch;
  batch.filepath = "/docs";
  batch.filelist = "a.wpd\r\n";
  batch.fileflag = 1;
  port.checked = {{ID_TXT_CHECK, true}, {ID_AUTO_RAD, true}};
  port.chosen = {"/docs/b.wpd"};
  const int others[] = {ID_TXT_CHECK, ID_XML_CHECK, ID_AUTO_RAD, ID_WPD_RAD, ID_FROM_TXT, 111, 116};
  for (int id : others) DialogFunc(batch, port, Command{id});
  EXPECT_EQ(batch.filelist, "a.wpd\r\n");
  EXPECT_EQ(batch.fileflag, 1);
  EXPECT_TRUE(port.texts.empty());
  EXPECT_TRUE(port.messages.empty());
  EXPECT_TRUE(port.chooser_requests.empty());
  EXPECT_FALSE(port.end_value.has_value());
}

}  // namespace
}  // namespace quorrel
