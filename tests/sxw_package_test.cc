#include "output/sxw_package.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <map>
#include <string>

#include "convert/registry.h"
#include "example_documents.h"
#include "io/scratch_file.h"
#include "output/skeleton.h"
#include "shell/controls.h"
#include "shell/driver.h"
#include "test_support.h"

namespace quorrel {
namespace {

using testing::FakePort;
using testing::TempDir;

using testing::Member;
using testing::members_of;

std::vector<std::string> names_of(const std::vector<Member>& members) {
  std::vector<std::string> names;
  for (const Member& member : members) names.push_back(member.name);
  return names;
}

void make_archive(const std::string& path, const std::vector<Member>& members) {
  int error = 0;
  zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  ASSERT_NE(archive, nullptr);
  for (const Member& member : members) {
    zip_source_t* source = zip_source_buffer(archive, member.bytes.data(), member.bytes.size(), 0);
    ASSERT_GE(zip_file_add(archive, member.name.c_str(), source, 0), 0);
  }
  ASSERT_EQ(zip_close(archive), 0);
}

// Packs `content` from a spool of its own, as a conversion does.
bool pack(const std::string& archive_path, const std::string& content) {
  Spool spool(std::filesystem::temp_directory_path().string());
  return spool.write(content.data(), content.size()) && sxw::pack(archive_path, spool);
}

TEST(ArchiveNames, ExtensionRuleOfEachConverterKind) {
  struct Row {
    std::string input, two_letter, three_letter;
  };
  for (const Row& row : std::vector<Row>{
           {"/docs/letter.wp", "/docs/letter.sxw", "/docs/letter.wp.sxw"},
           {"/docs/report.wpd", "/docs/report.wpd.sxw", "/docs/report.sxw"},
           {"/docs/notes.txt", "/docs/notes.txt.sxw", "/docs/notes.sxw"},
           {"/docs/README", "/docs/README.sxw", "/docs/README.sxw"},
           {"./memo.wpd", "./memo.wpd.sxw", "./memo.sxw"},
           {"a.wp", "a.sxw", "a.wp.sxw"},
       }) {
    EXPECT_EQ(archive_path_for(ArchiveRule::two_letter_extension, row.input), row.two_letter);
    EXPECT_EQ(archive_path_for(ArchiveRule::three_letter_extension, row.input), row.three_letter);
  }
}

TEST(ArchiveNames, DotInAFolderNameIsNoExtension) {
  // Counting characters alone would cut these at the folder's dot and write the archive into
  // the parent folder under the folder's name.
  EXPECT_EQ(archive_path_for(ArchiveRule::three_letter_extension, "/srv/my.d/x"),
            "/srv/my.d/x.sxw");
  EXPECT_EQ(archive_path_for(ArchiveRule::two_letter_extension, "/srv/old./x"), "/srv/old./x.sxw");
  EXPECT_EQ(archive_path_for(ArchiveRule::three_letter_extension, "/srv/v1.2/memo.wpd"),
            "/srv/v1.2/memo.sxw");
}

TEST(Packer, NewArchiveHoldsMimetypeManifestAndContent) {
  TempDir dir;
  std::string content = "<?xml?>\r\n<doc/>";
  ASSERT_TRUE(pack(dir.file("a.sxw"), content));

  std::vector<Member> members = members_of(dir.file("a.sxw"));
  ASSERT_EQ(names_of(members),
            (std::vector<std::string>{"mimetype", "META-INF/manifest.xml", "content.xml"}));
  EXPECT_EQ(members[0], (Member{"mimetype", "application/vnd.sun.xml.writer", true}));
  const std::string& manifest = members[1].bytes;
  EXPECT_NE(manifest.find("<manifest:file-entry manifest:media-type=\"application/vnd.sun.xml."
                          "writer\" manifest:full-path=\"/\"/>"),
            std::string::npos);
  EXPECT_NE(manifest.find("<manifest:file-entry manifest:media-type=\"text/xml\" "
                          "manifest:full-path=\"content.xml\"/>"),
            std::string::npos);
  EXPECT_EQ(members[2].bytes, content);
  EXPECT_TRUE(members[1].stored && members[2].stored);  // small: deflating would not pay
  // Nothing but the archive is left.
  EXPECT_EQ(testing::list_folder(dir.path()), (std::vector<std::string>{"a.sxw"}));
}

TEST(Packer, ContentIsPackedWholeFromMemoryOrItsFileAndAgain) {
  TempDir dir;
  for (std::size_t size : {std::size_t{100000}, Spool::kMemoryLimit + 100000}) {
    Spool spool(dir.path().string());
    std::string content = "<doc>" + std::string(size, 'x') + "</doc>";
    ASSERT_TRUE(spool.write(content.data(), content.size()));
    ASSERT_TRUE(sxw::pack(dir.file("a.sxw"), spool));
    ASSERT_TRUE(sxw::pack(dir.file("b.sxw"), spool));  // read again from its start
    EXPECT_EQ(testing::content_of(dir.file("a.sxw")), content);
    EXPECT_EQ(testing::content_of(dir.file("b.sxw")), content);
    EXPECT_FALSE(members_of(dir.file("a.sxw"))[2].stored);  // large: deflated
  }
}

TEST(Packer, ExistingArchiveKeepsItsOtherMembers) {
  TempDir dir;
  make_archive(dir.file("full.sxw"), {{"mimetype", "application/vnd.sun.xml.writer", false},
                                      {"content.xml", "old content", false},
                                      {"styles.xml", "<styles/>", false},
                                      {"META-INF/manifest.xml", "<own manifest/>", false}});
  ASSERT_TRUE(pack(dir.file("full.sxw"), "new content"));
  std::map<std::string, std::string> kept;
  for (const Member& member : members_of(dir.file("full.sxw"))) {
    kept[member.name] = member.bytes;
    // The replaced member follows the new content's size, not the old member's method.
    if (member.name == "content.xml") {
      EXPECT_TRUE(member.stored);
    }
  }
  EXPECT_EQ(kept, (std::map<std::string, std::string>{
                      {"mimetype", "application/vnd.sun.xml.writer"},
                      {"content.xml", "new content"},
                      {"styles.xml", "<styles/>"},
                      {"META-INF/manifest.xml", "<own manifest/>"}}));

  // An archive that lacks the members an office suite looks for gets them.
  make_archive(dir.file("bare.sxw"), {{"pictures/p.png", "png", false}});
  ASSERT_TRUE(pack(dir.file("bare.sxw"), "new content"));
  std::vector<Member> members = members_of(dir.file("bare.sxw"));
  EXPECT_EQ(names_of(members), (std::vector<std::string>{"pictures/p.png", "mimetype",
                                                         "META-INF/manifest.xml", "content.xml"}));
  EXPECT_EQ(members[0].bytes, "png");
  EXPECT_EQ(testing::list_folder(dir.path()), (std::vector<std::string>{"bare.sxw", "full.sxw"}));
}

TEST(Packer, EveryMemberNamedContentIsReplaced) {
  // libzip will not add a name twice: the second member is added as content.xmX and renamed
  // in the bytes, in its local header and in the central directory alike.
  TempDir dir;
  make_archive(dir.file("twice.sxw"), {{"content.xml", "stale one", false},
                                       {"styles.xml", "<styles/>", false},
                                       {"content.xmX", "stale two", false}});
  std::string bytes = testing::read_file(dir.file("twice.sxw"));
  for (std::size_t at = 0; (at = bytes.find("content.xmX", at)) != std::string::npos;) {
    bytes[at + 10] = 'l';
  }
  testing::write_file(dir.file("twice.sxw"), bytes);
  ASSERT_EQ(names_of(members_of(dir.file("twice.sxw"))),
            (std::vector<std::string>{"content.xml", "styles.xml", "content.xml"}));

  ASSERT_TRUE(pack(dir.file("twice.sxw"), "fresh"));
  std::vector<Member> members = members_of(dir.file("twice.sxw"));
  EXPECT_EQ(names_of(members), (std::vector<std::string>{"styles.xml", "mimetype",
                                                         "META-INF/manifest.xml", "content.xml"}));
  EXPECT_EQ(members.back().bytes, "fresh");
}

TEST(Packer, SymbolicLinkAtTheArchivePathIsReplacedWithoutReadingItsTarget) {
  // The link leads into a folder others cannot read; nothing of what it points to may come
  // into the new archive, and the target stays as it was.
  TempDir dir;
  std::filesystem::create_directory(dir.path() / "private");
  make_archive(dir.file("private/real.sxw"),
               {{"secret.txt", "secret", false}, {"content.xml", "private content", false}});
  std::string target = testing::read_file(dir.file("private/real.sxw"));
  std::filesystem::permissions(dir.path() / "private", std::filesystem::perms::owner_all);
  std::filesystem::create_symlink("private/real.sxw", dir.path() / "link.sxw");
  // A link to nowhere is replaced too.
  std::filesystem::create_symlink("nowhere.sxw", dir.path() / "dangling.sxw");

  for (const char* name : {"link.sxw", "dangling.sxw"}) {
    ASSERT_TRUE(pack(dir.file(name), "mine")) << name;
    EXPECT_FALSE(std::filesystem::is_symlink(dir.path() / name)) << name;
    std::vector<Member> members = members_of(dir.file(name));
    EXPECT_EQ(names_of(members),
              (std::vector<std::string>{"mimetype", "META-INF/manifest.xml", "content.xml"}));
    EXPECT_EQ(testing::content_of(dir.file(name)), "mine");
  }
  EXPECT_EQ(testing::read_file(dir.file("private/real.sxw")), target);
  EXPECT_FALSE(testing::exists(dir.file("nowhere.sxw")));
}

TEST(Packer, LeavesAnythingButAZipArchiveUntouched) {
  TempDir dir;
  testing::write_file(dir.file("text.sxw"), "a letter, not an archive");
  testing::write_file(dir.file("empty.sxw"), "");
  std::filesystem::create_directory(dir.path() / "folder.sxw");
  ASSERT_EQ(::mkfifo(dir.file("pipe.sxw").c_str(), 0600), 0);  // must not block
  for (const char* name : {"text.sxw", "empty.sxw", "folder.sxw", "pipe.sxw"}) {
    EXPECT_FALSE(pack(dir.file(name), "content")) << name;
  }
  EXPECT_EQ(testing::read_file(dir.file("text.sxw")), "a letter, not an archive");
  EXPECT_EQ(testing::read_file(dir.file("empty.sxw")), "");
  EXPECT_TRUE(std::filesystem::is_empty(dir.path() / "folder.sxw"));
  // A folder that does not exist, or no content to pack: nothing is made.
  EXPECT_FALSE(pack(dir.file("missing/a.sxw"), "content"));
  Spool broken(dir.file("missing"));  // a large content with nowhere to go
  std::string large(Spool::kMemoryLimit + 1, 'x');
  EXPECT_FALSE(broken.write(large.data(), large.size()));
  EXPECT_FALSE(sxw::pack(dir.file("a.sxw"), broken));
  EXPECT_EQ(testing::list_folder(dir.path()),
            (std::vector<std::string>{"empty.sxw", "folder.sxw", "pipe.sxw", "text.sxw"}));
}

TEST(Packer, ArchiveNameAtTheFileSystemLimitIsPacked) {
  // libzip's own temporary name is the archive's plus seven characters, which did not fit
  // beside a name of 249 to 255 bytes.
  TempDir dir;
  std::string name = std::string(251, 'a') + ".sxw";
  ASSERT_TRUE(pack(dir.file(name), "content"));
  EXPECT_EQ(members_of(dir.file(name)).size(), 3u);
  ASSERT_TRUE(pack(dir.file(name), "content"));  // and updated
  EXPECT_EQ(testing::list_folder(dir.path()), (std::vector<std::string>{name}));
}

TEST(Packer, UpdatedArchiveKeepsItsPermissions) {
  TempDir dir;
  make_archive(dir.file("a.sxw"), {{"styles.xml", "<styles/>", false}});
  std::filesystem::permissions(dir.file("a.sxw"), std::filesystem::perms::owner_read |
                                                      std::filesystem::perms::owner_write |
                                                      std::filesystem::perms::group_read);
  ASSERT_TRUE(pack(dir.file("a.sxw"), "content"));
  EXPECT_EQ(std::filesystem::status(dir.file("a.sxw")).permissions(),
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                std::filesystem::perms::group_read);
}

// Bytes that no compression shrinks.
std::string noise(std::size_t size, std::uint32_t key) {
  std::string bytes(size, '\0');
  for (char& c : bytes) {
    key = key * 1103515245u + 12345u;
    c = static_cast<char>(key >> 24);
  }
  return bytes;
}

TEST(Packer, DiskFullLeavesTheOldArchiveAndNoTemporaryFile) {
  // Under a 100,000-byte file-size limit the old archive (90,000 bytes) can still be copied,
  // but the new one, with 50,000 more bytes of content, cannot be written.
  TempDir dir;
  make_archive(dir.file("a.sxw"), {{"mimetype", "application/vnd.sun.xml.writer", false},
                                   {"content.xml", "old content", false},
                                   {"pictures/p.bin", noise(90000, 2), false}});
  std::string before = testing::read_file(dir.file("a.sxw"));
  ASSERT_LT(before.size(), 100000u);
  std::string content = noise(50000, 1);
  testing::ChildResult child = testing::run_in_child(
      [&] { return pack(dir.file("a.sxw"), content) ? 1 : 0; }, {.file_size = 100000});
  EXPECT_EQ(child.exit_status, 0) << "the packer reported success";
  EXPECT_EQ(testing::read_file(dir.file("a.sxw")), before);
  EXPECT_EQ(testing::list_folder(dir.path()), (std::vector<std::string>{"a.sxw"}));
}

class SxwConversion : public ::testing::Test {
 protected:
  SxwConversion() : here_(work.path()) { std::filesystem::create_directory(docs.path() / "in"); }

  // Converts docs/in/<name> with wpd2xml, through the dialog's Convert command.
  void convert(const std::string& name) {
    BatchState batch;
    batch.filepath = docs.file("in");
    batch.filelist = name + "\r\n";
    batch.fileflag = 1;
    port.checked = {{ID_XML_CHECK, true}, {ID_WPD_RAD, true}};
    DlgConvertSelected(batch, port);
  }
  std::string input(const std::string& name) const { return docs.file("in/" + name); }

  TempDir work;  // the current directory, which no conversion writes
  TempDir docs;
  FakePort port;

 private:
  testing::CurrentDirectory here_;
};

TEST_F(SxwConversion, TheArchiveGoesBesideTheInputAndNothingElseIsLeft) {
  std::string memo = examples::example_files()[0].bytes;
  testing::write_file(input("memo.wpd"), memo);
  convert("memo.wpd");
  EXPECT_TRUE(port.messages.empty());
  EXPECT_EQ(testing::list_folder(docs.path() / "in"),
            (std::vector<std::string>{"memo.sxw", "memo.wpd"}));

  std::string expected =
      convert_memory(converter_for(OutputKind::sxw, TYPE_WPD), memo, "memo.wpd").output;
  std::vector<Member> members = members_of(input("memo.sxw"));
  ASSERT_EQ(members.size(), 3u);
  EXPECT_EQ(members[2].bytes, expected);

  // Converting again replaces the archive's content with the new document.
  testing::write_file(input("memo.wpd"), examples::WpdBuilder().text("second").file());
  convert("memo.wpd");
  members = members_of(input("memo.sxw"));
  ASSERT_EQ(members.size(), 3u);
  EXPECT_NE(members[2].bytes.find(">second\r\n</text:p>"), std::string::npos);
  EXPECT_TRUE(testing::list_folder(work.path()).empty());
}

TEST_F(SxwConversion, NonZipFileAtTheArchivePathIsReportedAndKept) {
  testing::write_file(input("memo.wpd"), examples::WpdBuilder().text("words").file());
  testing::write_file(input("memo.sxw"), "my own notes");
  convert("memo.wpd");
  EXPECT_EQ(port.messages,
            (std::vector<FakePort::Message>{{"Unable to write files.", "File I/O Error!"}}));
  EXPECT_EQ(testing::read_file(input("memo.sxw")), "my own notes");
  EXPECT_TRUE(testing::list_folder(work.path()).empty());
  EXPECT_EQ(testing::list_folder(docs.path() / "in"),
            (std::vector<std::string>{"memo.sxw", "memo.wpd"}));
}

TEST_F(SxwConversion, RefusedInputIsNotPacked) {
  testing::write_file(input("plain.wpd"), "plain text");
  convert("plain.wpd");
  EXPECT_EQ(port.messages,
            (std::vector<FakePort::Message>{{"This is NOT a WPD file.", "File I/O Error!"}}));
  EXPECT_EQ(testing::list_folder(docs.path() / "in"), (std::vector<std::string>{"plain.wpd"}));
}

TEST_F(SxwConversion, AnyByteInThePathIsJustPartOfTheName) {
  std::string folder = "my docs.v2 \"quoted\" 'single' $HOME;|&";
  std::filesystem::create_directory(docs.path() / "in" / folder);
  std::string name = folder + "/odd \x01\xff name.wpd";
  testing::write_file(input(name), examples::WpdBuilder().text("odd").file());
  convert(name);
  EXPECT_TRUE(port.messages.empty());
  std::vector<Member> members = members_of(input(folder + "/odd \x01\xff name.sxw"));
  EXPECT_EQ(members.size(), 3u);
}

}  // namespace
}  // namespace quorrel
