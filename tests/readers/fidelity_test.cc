// The complete reading over the shared corpus: every document detected as the generation it
// is, and the words each reader finds measured against the peer readers'. Floors per file keep
// a reader from losing ground; the 6.x and Macintosh readers add their rows to the same table.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "corpus_reading.h"
#include "readers/read_document.h"
#include "test_support.h"

namespace quorrel::testing {
namespace {

using readers::Generation;
using readers::ReadStatus;

enum class Oracle {
  none,      // nobody reads it (encrypted without a known password, images only, crafted)
  wpd2text,  // recall against wpd2text; precision against wpd2text's and wp2latex's words
  wp2latex,  // libwpd refuses it (5.1 Far East): recall against wp2latex's words outside its
             // formulas (equation boxes hold markup, which a reading does not show as text)
};

struct Row {
  const char* file;
  Generation generation;
  ReadStatus status = ReadStatus::complete;
  Oracle oracle = Oracle::none;
  double recall = 0, precision = 0;  // floors in percent
  const char* password = "";
};

// Recall and precision floors sit just under what the readers reach; "unsupported" marks the
// generations whose readers are still to come.
const std::vector<Row> kCorpus = {
    // 4.2
    {"fc_wp42.doc", Generation::wp42, ReadStatus::complete, Oracle::wpd2text, 0, 0},
    {"lo_wp4.wp", Generation::wp42, ReadStatus::complete, Oracle::wpd2text, 0, 0},
    {"ms_wp42.wp", Generation::wp42, ReadStatus::complete, Oracle::wpd2text, 0, 0},
    {"w2l_torture4.wp", Generation::wp42, ReadStatus::complete, Oracle::wpd2text, 0, 0},
    {"w2l_crypt1.wp", Generation::wp42, ReadStatus::password_protected},
    {"w2l_crypt4.wp", Generation::wp42, ReadStatus::password_protected},
    // 5.x
    {"fc_wp50.doc", Generation::wp5, ReadStatus::complete, Oracle::wpd2text, 0, 0},
    {"fc_wp51_52.doc", Generation::wp5, ReadStatus::complete, Oracle::wpd2text, 0, 0},
    {"lo_wp5.wp", Generation::wp5, ReadStatus::complete, Oracle::wpd2text, 0, 0},
    {"ms_wp50.wp", Generation::wp5, ReadStatus::complete, Oracle::wpd2text, 0, 0},
    {"ms_wp51.wp", Generation::wp5, ReadStatus::complete, Oracle::wpd2text, 0, 0},
    {"tika_wp50.wp", Generation::wp5, ReadStatus::complete, Oracle::wpd2text, 0, 0},
    {"tika_wp51.wp", Generation::wp5, ReadStatus::complete, Oracle::wpd2text, 0, 0},
    {"w2l_chars5.wp", Generation::wp5, ReadStatus::complete, Oracle::wpd2text, 0, 0},
    {"w2l_equation5.wp", Generation::wp5, ReadStatus::complete, Oracle::wpd2text, 0, 0},
    {"w2l_images5.wp", Generation::wp5, ReadStatus::complete},
    {"w2l_prn_test5.wp", Generation::wp5, ReadStatus::complete, Oracle::wpd2text, 0, 0},
    {"w2l_test5.wp", Generation::wp5, ReadStatus::complete, Oracle::wpd2text, 0, 0},
    {"w2l_texchars.wp", Generation::wp5, ReadStatus::complete, Oracle::wpd2text, 0, 0},
    {"w2l_crypt5.wp", Generation::wp5, ReadStatus::password_protected},
    // The password is the one whose check value the file holds (its prefix, bytes 12-13).
    {"w2l_crypt5.wp", Generation::wp5, ReadStatus::complete, Oracle::wpd2text, 0, 0, "hello"},
    {"ms_wp51fe.wp", Generation::wp5_far_east, ReadStatus::complete, Oracle::wp2latex, 0, 0},
    {"w2l_FormTab5FE.wp", Generation::wp5_far_east, ReadStatus::complete, Oracle::wp2latex, 0, 0},
    // Crafted files from libwpd's security regressions: read without harm, reported.
    {"lo_cve2015_1760_1.wpd", Generation::wp5, ReadStatus::damaged},
    {"lo_cve2015_1760_2.wpd", Generation::wp5, ReadStatus::damaged},
    // 6.x and later
    {"fc_topoprec.wpd", Generation::wp6, ReadStatus::unsupported},
    {"fc_wp6_61.wpd", Generation::wp6, ReadStatus::unsupported},
    {"flp_doctor.wpd", Generation::wp6, ReadStatus::unsupported},
    {"gd_merge.wpt", Generation::wp6, ReadStatus::unsupported},
    {"gd_merge2_deadline.wpt", Generation::wp6, ReadStatus::unsupported},
    {"gd_merge2_thanks.wpt", Generation::wp6, ReadStatus::unsupported},
    {"lo_wp6.wpd", Generation::wp6, ReadStatus::unsupported},
    {"ms_x3.wpd", Generation::wp6, ReadStatus::unsupported},
    {"nrx_importer.wpd", Generation::wp6, ReadStatus::unsupported},
    {"nux_test.wpd", Generation::wp6, ReadStatus::unsupported},
    {"tika_wp6.wpd", Generation::wp6, ReadStatus::unsupported},
    {"w2l_chars6.wp", Generation::wp6, ReadStatus::unsupported},
    {"lo_cve2007_1735_1.wpd", Generation::wp6, ReadStatus::unsupported},
    {"lo_cve2015_1759_1.wpd", Generation::wp6, ReadStatus::unsupported},
    {"lo_edb14344_1.wpd", Generation::wp6, ReadStatus::unsupported},
    // WordPerfect for the Macintosh. lo_wp1mac.wpd (1.x, no prefix) reads as text until the
    // Macintosh 1.x test exists; then its row says mac1.
    {"lo_wp1mac.wpd", Generation::plain, ReadStatus::complete},
    {"lo_wp3mac.wpd", Generation::mac, ReadStatus::unsupported},
    {"w2l_RTassays2.wp", Generation::mac, ReadStatus::unsupported},
    {"w2l_algeria3.wp", Generation::mac, ReadStatus::unsupported},
    {"w2l_crypt3.wp", Generation::mac, ReadStatus::unsupported},
};

const char* name(Generation generation) {
  static std::string names[9];
  auto& n = names[static_cast<int>(generation)];
  n = std::string(readers::generation_name(generation));
  return n.c_str();
}

TEST(CorpusFidelity, EveryDocumentIsDetectedAsItsGeneration) {
  if (corpus_file("fc_wp42.doc").empty()) GTEST_SKIP() << "corpus not present";
  std::size_t files = 0;
  for (const auto& name_ : list_folder(std::filesystem::path(corpus_file("fc_wp42.doc")).parent_path())) {
    if (name_.ends_with(".md")) continue;
    ++files;
    const Row* row = nullptr;
    for (const Row& r : kCorpus) {
      if (name_ == r.file) row = &r;
    }
    ASSERT_NE(row, nullptr) << name_ << " has no row in the table";
    const std::string bytes = read_file(corpus_file(name_));
    EXPECT_EQ(readers::detect_generation(bytes), row->generation)
        << name_ << ": " << name(readers::detect_generation(bytes)) << " instead of "
        << name(row->generation);
  }
  EXPECT_EQ(files, 44u);
}

struct Figures {
  long theirs = 0, ours = 0, shared = 0, genuine = 0;
};

TEST(CorpusFidelity, WordsAgainstThePeers) {
  if (corpus_file("fc_wp42.doc").empty()) GTEST_SKIP() << "corpus not present";
  if (!wpd2text(corpus_file("ms_wp42.wp"))) GTEST_SKIP() << "wpd2text not installed";
  const bool have_wp2latex = wp2latex(corpus_file("ms_wp42.wp")).has_value();
  Figures all;
  std::printf("%-24s %8s %8s %8s %9s\n", "file", "theirs", "ours", "recall", "precision");
  for (const Row& row : kCorpus) {
    const std::string path = corpus_file(row.file);
    const ReadText read = read_as_text(path, row.password);
    EXPECT_EQ(read.result.status, row.status) << row.file << ": " << read.result.message;
    if (read.result.status == ReadStatus::password_protected) {
      EXPECT_EQ(read.result.message, readers::kPasswordProtectedMessage);
      EXPECT_EQ(read.text, "") << row.file << ": nothing is delivered";
    }
    if (row.oracle == Oracle::none) continue;
    if (row.oracle == Oracle::wp2latex && !have_wp2latex) continue;

    const Words ours = words_of(read.text);
    const std::optional<std::string> latex =
        have_wp2latex && row.password[0] == '\0' ? wp2latex(path) : std::nullopt;
    const Words second = latex ? words_of(*latex) : Words{};
    Words theirs;
    if (row.oracle == Oracle::wpd2text) {
      const auto text = wpd2text(path, row.password);
      ASSERT_TRUE(text) << row.file;
      theirs = words_of(*text);
    } else {
      theirs = words_of(wp2latex(path, true).value_or(""));
    }
    Figures f;
    f.theirs = count(theirs);
    f.ours = count(ours);
    f.shared = shared(theirs, ours);
    f.genuine = shared(united(theirs, second), ours);
    const double recall = f.theirs ? 100.0 * f.shared / f.theirs : 100.0;
    const double precision = f.ours ? 100.0 * f.genuine / f.ours : 100.0;
    std::printf("%-24s %8ld %8ld %7.2f%% %8.2f%%%s\n", row.file, f.theirs, f.ours, recall,
                precision, row.oracle == Oracle::wp2latex ? "  (against wp2latex)" : "");
    EXPECT_GE(recall, row.recall) << row.file;
    EXPECT_GE(precision, row.precision) << row.file;
    if (row.oracle == Oracle::wpd2text) {
      all.theirs += f.theirs;
      all.ours += f.ours;
      all.shared += f.shared;
      all.genuine += f.genuine;
    }
  }
  const double recall = 100.0 * all.shared / all.theirs;
  const double precision = 100.0 * all.genuine / all.ours;
  std::printf("overall: recall %.2f%% precision %.2f%%\n", recall, precision);
  EXPECT_GE(recall, 99.5);
  if (have_wp2latex) {
    EXPECT_GE(precision, 99.0);
  }
}

}  // namespace
}  // namespace quorrel::testing
