#include <gtest/gtest.h>

#include "example_documents.h"
#include "shell/controls.h"
#include "shell/driver.h"
#include "test_support.h"

namespace quorrel {
namespace {

using testing::FakePort;
using testing::TempDir;

class DriverTest : public ::testing::Test {
 protected:
  // Loads a list the way a drop does: names each followed by CR LF.
  void load(std::initializer_list<std::string> names) {
    batch.filepath = dir.path().string();
    batch.filelist.clear();
    for (const std::string& name : names) batch.filelist += name + "\r\n";
    batch.fileflag = 1;
    port.texts[ID_FROM_TXT] = batch.filelist;
  }
  void choose(std::initializer_list<int> ids) {
    port.checked.clear();
    for (int id : ids) port.checked[id] = true;
  }
  std::string wpd_file(const std::string& name, const std::string& words) {
    std::string path = dir.file(name);
    testing::write_file(path, examples::WpdBuilder().text(words).file());
    return path;
  }

  TempDir dir;
  FakePort port;
  BatchState batch;
};

TEST(GetFileName, TakesNamesFromTheEnd) {
  BatchState batch;
  batch.filepath = "/docs";
  batch.filelist = "a.wpd\r\nb.wpd";
  ASSERT_EQ(getfilename(batch), 1);
  EXPECT_EQ(batch.filename, "b.wpd");
  EXPECT_EQ(batch.filepathname, "/docs/b.wpd");
  ASSERT_EQ(getfilename(batch), 1);
  EXPECT_EQ(batch.filename, "a.wpd");
  EXPECT_EQ(batch.filelist, "");
  EXPECT_EQ(getfilename(batch), 0);
}

TEST(GetFileName, KeepsLongNamesWhole) {
  BatchState batch;
  batch.filepath = std::string(300, 'd');
  batch.filelist = std::string(400, 'n');
  ASSERT_EQ(getfilename(batch), 1);
  EXPECT_EQ(batch.filepathname.size(), 701u);
}

TEST_F(DriverTest, NoListDoesNothingEvenWithoutOptions) {
  port.texts[ID_TO_TXT] = "earlier";
  DlgConvertSelected(batch, port);
  EXPECT_TRUE(port.messages.empty());
  EXPECT_EQ(port.texts[ID_TO_TXT], "earlier");
}

TEST_F(DriverTest, NothingSelectedKeepsTheList) {
  wpd_file("a.wpd", "x");
  load({"a.wpd"});
  choose({ID_AUTO_RAD});  // no output kind
  DlgConvertSelected(batch, port);
  choose({ID_TXT_CHECK});  // no input generation
  DlgConvertSelected(batch, port);
  FakePort::Message expected{"Nothing selected.", "Uhmm..."};
  EXPECT_EQ(port.messages, (std::vector<FakePort::Message>{expected, expected}));
  EXPECT_EQ(batch.fileflag, 1);
  EXPECT_EQ(port.texts[ID_FROM_TXT], "a.wpd\r\n");
  EXPECT_EQ(batch.filelist, "a.wpd\r\n");
  EXPECT_FALSE(testing::exists(dir.file("a.wpd.txt")));
}

TEST_F(DriverTest, ConvertsFromTheLastNameAndListsEveryKindInOrder) {
  wpd_file("a.wpd", "first");
  wpd_file("b.wpd", "second");
  load({"a.wpd", "b.wpd"});
  choose({ID_TXT_CHECK, ID_HTML_CHECK, ID_WPD_RAD});
  DlgConvertSelected(batch, port);
  EXPECT_EQ(port.texts[ID_TO_TXT], "b.wpd.txt\r\nb.wpd.html\r\na.wpd.txt\r\na.wpd.html\r\n");
  EXPECT_EQ(testing::read_file(dir.file("a.wpd.txt")), "first");
  EXPECT_EQ(testing::read_file(dir.file("b.wpd.txt")), "second");
  EXPECT_EQ(port.texts[ID_FROM_TXT], "");
  EXPECT_EQ(batch.fileflag, 0);
  EXPECT_EQ(batch.filelist, "");
}

TEST_F(DriverTest, OdtItemAddsThePackageInEitherReadingAndStandsAlone) {
  struct Case {
    const char* name;
    std::vector<int> checked;
    const char* to_box;
  };
  const Case cases[] = {
      {"exact, with text", {ID_TXT_CHECK, ID_ODT_ITEM, ID_AUTO_RAD},
       "memo.w51.txt\r\nmemo.w51.odt\r\n"},
      {"complete, with text", {ID_TXT_CHECK, ID_ODT_ITEM, ID_AUTO_RAD, ID_COMPLETE_ITEM},
       "memo.w51.txt\r\nmemo.w51.odt\r\n"},
      {"alone", {ID_ODT_ITEM, ID_AUTO_RAD}, "memo.w51.odt\r\n"},
  };
  for (const Case& c : cases) {
    TempDir folder;
    testing::write_file(folder.file("memo.w51"), examples::W51Builder().text("words").file());
    batch.filepath = folder.path().string();
    batch.filelist = "memo.w51\r\n";
    batch.fileflag = 1;
    port.messages.clear();
    port.checked.clear();
    for (int id : c.checked) port.checked[id] = true;
    DlgConvertSelected(batch, port);
    EXPECT_TRUE(port.messages.empty()) << c.name << ": " << port.messages[0].text;
    EXPECT_EQ(port.texts[ID_TO_TXT], c.to_box) << c.name;
    testing::OdtPackage package = testing::read_odt_package(folder.file("memo.w51.odt"));
    EXPECT_EQ(package.problem, "") << c.name;
    EXPECT_NE(package.content.find("words"), std::string::npos) << c.name;
  }
}

TEST_F(DriverTest, ForcedGenerationSkipsIdentification) {
  // A plain text file forced to WordPerfect 6-9 reaches wpd2txt and fails its prefix check;
  // under Auto Detect it would have been read as plain text without complaint.
  testing::write_file(dir.file("notes.txt"), "just text");
  load({"notes.txt"});
  choose({ID_TXT_CHECK, ID_WPD_RAD});
  DlgConvertSelected(batch, port);
  ASSERT_EQ(port.messages.size(), 1u);
  EXPECT_EQ(port.messages[0].text, "This is NOT a WPD file.");
  EXPECT_EQ(port.messages[0].caption, "File I/O Error!");
  EXPECT_FALSE(testing::exists(dir.file("notes.txt.txt")));
}

TEST_F(DriverTest, AutoDetectSendsSixToNineDocumentsToTheirConverter) {
  wpd_file("memo.wpd", "hello");
  load({"memo.wpd"});
  choose({ID_TXT_CHECK, ID_AUTO_RAD});
  DlgConvertSelected(batch, port);
  EXPECT_TRUE(port.messages.empty());
  EXPECT_EQ(testing::read_file(dir.file("memo.wpd.txt")), "hello");
}

TEST_F(DriverTest, MissingInputUnderAutoDetectGivesBothMessagesPerKind) {
  load({"gone.wpd"});
  choose({ID_TXT_CHECK, ID_AUTO_RAD});
  DlgConvertSelected(batch, port);
  FakePort::Message identification{"Unable to open file.", "File I/O Error!"};
  FakePort::Message conversion{"Unable to open files.", "File I/O Error!"};
  EXPECT_EQ(port.messages, (std::vector<FakePort::Message>{identification, conversion}));
  EXPECT_EQ(port.texts[ID_TO_TXT], "gone.wpd.txt\r\n");
  EXPECT_TRUE(testing::list_folder(dir.path()).empty());
}

TEST_F(DriverTest, NewBatchClearsTheToBox) {
  wpd_file("a.wpd", "x");
  port.texts[ID_TO_TXT] = "old.wpd.txt\r\n";
  load({"a.wpd"});
  choose({ID_TXT_CHECK, ID_WPD_RAD});
  DlgConvertSelected(batch, port);
  EXPECT_EQ(port.texts[ID_TO_TXT], "a.wpd.txt\r\n");
}

TEST_F(DriverTest, ToBoxKeepsItsNewestEntriesWhenFull) {
  // A user may have typed into the To box; the driver reads it back before appending.
  struct TypingPort : FakePort {
    std::string typed;
    void set_control_text(int id, std::string_view text) override {
      FakePort::set_control_text(id, text.empty() && id == ID_TO_TXT ? typed : text);
    }
  } typing;
  for (int i = 0; i < 8000; ++i) typing.typed += "old" + std::to_string(i) + "\r\n";
  wpd_file("a.wpd", "x");
  load({"a.wpd"});
  typing.checked = {{ID_TXT_CHECK, true}, {ID_WPD_RAD, true}};
  DlgConvertSelected(batch, typing);
  const std::string& shown = typing.texts[ID_TO_TXT];
  EXPECT_LT(shown.size(), 64000u);
  EXPECT_EQ(shown.substr(shown.size() - 11), "a.wpd.txt\r\n");
  EXPECT_EQ(shown.find("old0\r\n"), std::string::npos);
}

}  // namespace
}  // namespace quorrel
