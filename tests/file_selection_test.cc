#include "shell/file_selection.h"

#include <gtest/gtest.h>

#include "example_documents.h"
#include "shell/controls.h"
#include "shell/driver.h"
#include "shell/messages.h"
#include "test_support.h"

namespace quorrel {
namespace {

using testing::FakePort;
using testing::TempDir;

// The names in the order the driver will convert them.
std::vector<std::string> conversion_order(BatchState batch) {
  std::size_t last_cr = batch.filelist.rfind('\r');
  if (last_cr != std::string::npos) batch.filelist.resize(last_cr);
  std::vector<std::string> names;
  while (getfilename(batch)) names.push_back(batch.filepathname);
  return names;
}

class FileSelectionTest : public ::testing::Test {
 protected:
  // An earlier list, loaded and shown.
  void load_earlier_list() {
    batch.filepath = "/earlier";
    batch.filelist = "old.wpd\r\n";
    batch.fileflag = 1;
    port.texts[ID_FROM_TXT] = batch.filelist;
  }
  void expect_earlier_list_kept() {
    EXPECT_EQ(batch.filepath, "/earlier");
    EXPECT_EQ(batch.filelist, "old.wpd\r\n");
    EXPECT_EQ(batch.fileflag, 1);
    EXPECT_EQ(port.texts[ID_FROM_TXT], "old.wpd\r\n");
  }

  FakePort port;
  BatchState batch;
};

TEST_F(FileSelectionTest, MultipleSelectionListsNamesInTheDialogsOrder) {
  port.chosen = {"/docs/a.wpd", "/docs/b.wpd"};
  DlgFileSelected(batch, port);
  EXPECT_EQ(batch.filepath, "/docs");
  EXPECT_EQ(batch.filelist, "a.wpd\r\nb.wpd\r\n");
  EXPECT_EQ(batch.fileflag, 1);
  EXPECT_EQ(port.texts[ID_FROM_TXT], "a.wpd\r\nb.wpd\r\n");
  FakePort::ChooserRequest request{"From file", "All Files (*.*)", "*"};
  EXPECT_EQ(port.chooser_requests, std::vector<FakePort::ChooserRequest>{request});
  // The driver takes names from the end: the reverse of the dialog's order.
  EXPECT_EQ(conversion_order(batch), (std::vector<std::string>{"/docs/b.wpd", "/docs/a.wpd"}));
}

TEST_F(FileSelectionTest, SingleSelectionKeepsTheTrailingSeparatorAndStillConverts) {
  TempDir dir;
  std::string path = dir.file("memo.wpd");
  testing::write_file(path, examples::WpdBuilder().text("hello").file());
  port.chosen = {path};
  DlgFileSelected(batch, port);
  EXPECT_EQ(batch.filepath, dir.path().string() + "/");
  EXPECT_EQ(batch.filelist, "memo.wpd\r\n");

  // The doubled separator in the input's path is harmless.
  port.checked = {{ID_TXT_CHECK, true}, {ID_AUTO_RAD, true}};
  DlgConvertSelected(batch, port);
  EXPECT_TRUE(port.messages.empty());
  EXPECT_EQ(testing::read_file(path + ".txt"), "hello");
}

TEST_F(FileSelectionTest, FilesAtTheRootKeepTheirPaths) {
  port.chosen = {"/a.wpd", "/b.wpd"};
  DlgFileSelected(batch, port);
  EXPECT_EQ(conversion_order(batch), (std::vector<std::string>{"/b.wpd", "/a.wpd"}));
  port.chosen = {"/a.wpd"};
  DlgFileSelected(batch, port);
  EXPECT_EQ(conversion_order(batch), std::vector<std::string>{"//a.wpd"});
}

// A cancelled dialog used to empty the list while the From box still showed it.
TEST_F(FileSelectionTest, CancelledDialogKeepsTheEarlierList) {
  load_earlier_list();
  port.chosen = {};
  DlgFileSelected(batch, port);
  expect_earlier_list_kept();
  EXPECT_EQ(port.chooser_requests.size(), 1u);
  EXPECT_TRUE(port.messages.empty());
}

TEST_F(FileSelectionTest, NewSelectionReplacesTheListWithTheSameFilterEachTime) {
  load_earlier_list();
  port.chosen = {"/docs/a.wpd", "/docs/b.wpd"};
  DlgFileSelected(batch, port);
  port.chosen = {"/other/c.wpd", "/other/d.wpd"};
  DlgFileSelected(batch, port);
  EXPECT_EQ(batch.filepath, "/other");
  EXPECT_EQ(port.texts[ID_FROM_TXT], "c.wpd\r\nd.wpd\r\n");
  ASSERT_EQ(port.chooser_requests.size(), 2u);
  EXPECT_EQ(port.chooser_requests[0], port.chooser_requests[1]);
}

TEST_F(FileSelectionTest, DropListsItemsInReverseAndConvertsInItemOrder) {
  load_earlier_list();
  DlgFilesDropped(batch, port, {"/docs/one.wpd", "/docs/two.wpd", "/docs/three.wpd"});
  EXPECT_EQ(batch.filepath, "/docs");
  EXPECT_EQ(batch.filelist, "three.wpd\r\ntwo.wpd\r\none.wpd\r\n");
  EXPECT_EQ(port.texts[ID_FROM_TXT], batch.filelist);
  EXPECT_EQ(batch.fileflag, 1);
  EXPECT_EQ(conversion_order(batch),
            (std::vector<std::string>{"/docs/one.wpd", "/docs/two.wpd", "/docs/three.wpd"}));
}

TEST_F(FileSelectionTest, DroppedFoldersAreListedLikeFiles) {
  DlgFilesDropped(batch, port, {"/docs/letters", "/docs/old/", "/docs/memo.wpd"});
  EXPECT_EQ(batch.filepath, "/docs");
  EXPECT_EQ(batch.filelist, "memo.wpd\r\nold\r\nletters\r\n");
}

// Names from several folders cannot share the list's one folder: taking item 0's folder for
// all of them converted another file of the same name, or none.
TEST_F(FileSelectionTest, FilesFromSeveralFoldersAreRefusedAndTheEarlierListKept) {
  load_earlier_list();
  DlgFilesDropped(batch, port, {"/docs/a.wpd", "/elsewhere/b.wpd"});
  port.chosen = {"/docs/a.wpd", "/docs/sub/b.wpd"};
  DlgFileSelected(batch, port);
  FakePort::Message refusal{std::string(kFilesInSeveralFolders), "File I/O Error!"};
  EXPECT_EQ(port.messages, (std::vector<FakePort::Message>{refusal, refusal}));
  expect_earlier_list_kept();
}

TEST_F(FileSelectionTest, NameWithCarriageReturnIsRefusedAndTheEarlierListKept) {
  load_earlier_list();
  DlgFilesDropped(batch, port, {"/docs/a.wpd", "/docs/b\r\nc.wpd"});
  ASSERT_EQ(port.messages.size(), 1u);
  EXPECT_EQ(port.messages[0].text, kCarriageReturnInName);
  expect_earlier_list_kept();
}

TEST_F(FileSelectionTest, ListLongerThanTheOldBufferKeepsEveryName) {
  std::vector<std::string> items;
  for (int i = 0; i < 2000; ++i) {
    items.push_back("/docs/a-rather-long-document-name-" + std::to_string(i) + ".wpd");
  }
  DlgFilesDropped(batch, port, items);
  EXPECT_GT(batch.filelist.size(), kListCapacity);
  EXPECT_EQ(port.texts[ID_FROM_TXT], batch.filelist);
  std::vector<std::string> order = conversion_order(batch);
  EXPECT_EQ(order, items);
}

TEST_F(FileSelectionTest, EmptyDropChangesNothing) {
  load_earlier_list();
  DlgFilesDropped(batch, port, {});
  expect_earlier_list_kept();
}

}  // namespace
}  // namespace quorrel
