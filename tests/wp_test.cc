#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "document_parts.h"
#include "output/html_frame.h"
#include "output/pending_line.h"
#include "test_support.h"

namespace quorrel {
namespace {

using testing::bytes;
using testing::sxw_paragraph;

const testing::Outputs wp{TYPE_WP};

const std::string kBoldSpan = "<text:span text:style-name=\"P1\">";
const std::string kSpanEnd = "\r\n</text:span>";
const std::string kBreak = "\r\n</text:p>\r\n<text:p text:style-name=\"Standard\">";

// The group rule is the same for every output, so each case is checked on all three.
TEST(WpGroups, EveryHighByteFlipsWithoutPairing) {
  // 193 closes the group that 192 opened; the last 192 opens one that hides the rest.
  std::string input = bytes({192, 'x', 193, 'y', 192, 'z'});
  EXPECT_EQ(wp.text(input), "y");
  EXPECT_EQ(wp.html(input), "y");
  EXPECT_EQ(wp.sxw(input), sxw_paragraph("y"));
  EXPECT_EQ(wp.text("A" + bytes({195}) + "xyz" + bytes({195}) + "B"), "AB");
  EXPECT_EQ(wp.text(bytes({255, 'h', 'i', 'd'})), "");  // never closed
}

TEST(WpGroups, CodesInsideAGroupDoNothing) {
  std::string input = bytes({200, 131, 157, 9, 13, 10, 'q', 200, 'v'});
  EXPECT_EQ(wp.text(input), "v");
  EXPECT_EQ(wp.html(input), "v");
  EXPECT_EQ(wp.sxw(input), sxw_paragraph("v"));
}

TEST(WpGroups, LineFeedAfterAClosingByteCountsAfterAnOpeningByteNot) {
  EXPECT_EQ(wp.text(bytes({'a', 210, 1, 210, 10, 'b'})), "a\r\nb");
  EXPECT_EQ(wp.text(bytes({'a', 210, 10, 210, 'b'})), "ab");
  EXPECT_EQ(wp.html(bytes({'a', 210, 1, 210, 10, 'b'})), "a\r\n<P>b");
  EXPECT_EQ(wp.html(bytes({'a', 210, 10, 210, 'b'})), "ab");
  EXPECT_EQ(wp.sxw(bytes({'a', 210, 1, 210, 10, 'b'})),
            sxw_paragraph("a") + "\r\n" + sxw_paragraph("b"));
  EXPECT_EQ(wp.sxw(bytes({'a', 210, 10, 210, 'b'})), sxw_paragraph("ab"));
}

TEST(WpGroups, LowBytesOtherThanTheCodesVanish) {
  std::string input = bytes({'a', 0, 8, 11, 12, 14, 31, 127, 128, 130, 132, 155, 158, 191, 'b'});
  EXPECT_EQ(wp.text(input), "ab");
  EXPECT_EQ(wp.html(input), "ab");
  EXPECT_EQ(wp.sxw(input), sxw_paragraph("ab"));
}

TEST(WpText, LinesCarriageReturnsAndTabs) {
  EXPECT_EQ(wp.text("AB\nD"), "AB\r\nD");
  EXPECT_EQ(wp.text("\n\nD"), "\r\n\r\nD");
  EXPECT_EQ(wp.text("AB\nD\n"), "AB\r\nD\r\n");
  // A carriage return is a space and takes the place of the line end of a line feed after it.
  EXPECT_EQ(wp.text("AB\r\nD"), "AB D");
  EXPECT_EQ(wp.text("AB\rD"), "AB D");
  EXPECT_EQ(wp.text("AB\r\n\nD"), "AB \r\nD");
  // A tab right before a line feed moves to the start of the next line.
  EXPECT_EQ(wp.text("A\t\nB"), "A\r\n\tB");
  EXPECT_EQ(wp.text("A\t\t\n\nB"), "A\t\r\n\t\r\nB");
  EXPECT_EQ(wp.text(""), "");
}

TEST(WpText, CharactersPassUnchangedAndFormattingCodesVanish) {
  EXPECT_EQ(wp.text("<a & \"b\">" + bytes({131, 157, 'x', 156})), "<a & \"b\">x");
}

TEST(WpHtml, CentredTitleAndCarriageReturnLine) {
  std::string input = bytes({131}) + "Title\nBody\r\n";
  EXPECT_EQ(wp.html(input), "<CENTER>Title</CENTER>\r\n<P>Body \r\n<P>");
  EXPECT_EQ(wp.html(""), "");
}

TEST(WpHtml, CarriageReturnLineFeedBreaksTheParagraphUnlikeText) {
  EXPECT_EQ(wp.html("AB\r\nD"), "AB \r\n<P>D");
  EXPECT_EQ(wp.text("AB\r\nD"), "AB D");
  EXPECT_EQ(wp.html("\n\n"), "\r\n<P>\r\n<P>");
}

TEST(WpHtml, CentreTagGoesAheadOfTheWholeLine) {
  EXPECT_EQ(wp.html("one\nmid" + bytes({131}) + "dle\nthree"),
            "one\r\n<P><CENTER>middle</CENTER>\r\n<P>three");
  // Two centre codes: two opening tags, one closing tag.
  EXPECT_EQ(wp.html(bytes({131}) + "a" + bytes({131}) + "b\nc"),
            "<CENTER><CENTER>ab</CENTER>\r\n<P>c");
  // The last line has no line feed: its centring stays open.
  EXPECT_EQ(wp.html("a\nlast" + bytes({131})), "a\r\n<P><CENTER>last");
  // More tags than are written in one copy, on a line and at the end.
  std::string five(5, static_cast<char>(131));
  std::string five_tags;
  for (int i = 0; i < 5; ++i) five_tags += "<CENTER>";
  EXPECT_EQ(wp.html("x" + five + "y\n" + five + "\nz" + five),
            five_tags + "xy</CENTER>\r\n<P>" + five_tags + "</CENTER>\r\n<P>" + five_tags + "z");
}

TEST(WpHtml, TabBlanksReachTheNextStopFromTheColumn) {
  EXPECT_EQ(wp.html("\t"), std::string(8, ' '));
  EXPECT_EQ(wp.html("\t\t"), std::string(16, ' '));
  EXPECT_EQ(wp.html("abcde\t"), "abcde" + std::string(8, ' '));
  EXPECT_EQ(wp.html("abcdefgh\t"), "abcdefgh" + std::string(16, ' '));
  // Spaces of carriage returns and tags do not move the column either.
  EXPECT_EQ(wp.html("abcdefg\r" + bytes({157}) + "\t"), "abcdefg <B>" + std::string(8, ' '));
}

TEST(WpHtml, BoldTagsWithoutStateAndSquareBrackets) {
  EXPECT_EQ(wp.html(bytes({157}) + "a" + bytes({157}) + "b\nc" + bytes({156}) + "d" + bytes({156})),
            "<B>a<B>b\r\n<P>c</B>d</B>");
  EXPECT_EQ(wp.html("<a & \"b\">"), "[a & \"b\"]");
}

TEST(WpHtml, BoldRunReachesOverSeveralParagraphs) {
  EXPECT_EQ(wp.html(bytes({157}) + "a\nb\nc" + bytes({156})), "<B>a\r\n<P>b\r\n<P>c</B>");
}

TEST(WpHtml, LineFarPastTheMemoryLimitKeepsItsCentreTagAhead) {
  // Long enough to cross the line buffer's memory limit: the line goes through its spill file.
  std::string line(PendingLine::kDefaultMemoryLimit + 300000, 'w');
  line[100] = '>';
  std::string expected = line;
  expected[100] = ']';
  std::size_t blanks = line.size() / 8 * 8 + 8;
  EXPECT_EQ(wp.html(line + "\t" + bytes({157, 131}) + "\nnext"),
            "<CENTER>" + expected + std::string(blanks, ' ') + "<B></CENTER>\r\n<P>next");
  EXPECT_EQ(wp.html(line + bytes({131})), "<CENTER>" + expected);
}

TEST(WpSxw, ParagraphsSpacesTabsAndEscapes) {
  EXPECT_EQ(wp.sxw("ab\r\nxy"), sxw_paragraph("ab ") + "\r\n" + sxw_paragraph("xy"));
  EXPECT_EQ(wp.sxw("a\tb" + bytes({131})), sxw_paragraph("a\r\n<text:tab-stop/>b"));
  EXPECT_EQ(wp.sxw("<a & \"b\" 'c'>"), sxw_paragraph("&lt;a &amp; &quot;b&quot; 'c'&gt;"));
  EXPECT_EQ(wp.sxw(""), sxw_paragraph(""));
}

TEST(WpSxw, BoldSpanStaysBalancedAcrossParagraphs) {
  EXPECT_EQ(wp.sxw(bytes({157}) + "Bold" + bytes({156}) + "\nNext"),
            sxw_paragraph(kBoldSpan + "Bold" + kSpanEnd) + "\r\n" + sxw_paragraph("Next"));
  EXPECT_EQ(wp.sxw(bytes({157}) + "a\nb\nc" + bytes({156})),
            "<text:p text:style-name=\"Standard\">" + kBoldSpan + "a" + kSpanEnd + kBreak +
                kBoldSpan + "b" + kSpanEnd + kBreak + kBoldSpan + "c" + kSpanEnd + "\r\n</text:p>");
  // A second bold-on and a stray bold-off write nothing; the end closes an open span.
  EXPECT_EQ(wp.sxw(bytes({156, 157}) + "x" + bytes({157}) + "y"),
            sxw_paragraph(kBoldSpan + "xy" + kSpanEnd));
}

TEST(WpExample, LetterInEveryOutput) {
  std::string letter = testing::example("letter.wp");
  EXPECT_EQ(wp.text(letter),
            "A letter from 1986\r\n\r\nDear reader, \tthis file is <older> than most & still "
            "opens.\r\nBold runs on here, and a page number hides nothing.\r\nRegards");
  EXPECT_EQ(wp.html(letter),
            "<CENTER><B>A letter from 1986</B></CENTER>\r\n<P>\r\n<P>Dear reader, \r\n<P>" +
                std::string(8, ' ') +
                "this file is [older] than most & still <B>opens.\r\n<P>Bold runs on here</B>, "
                "and a page number hides nothing.\r\n<P>Regards");
  EXPECT_EQ(wp.sxw(letter),
            "<text:p text:style-name=\"Standard\">" + kBoldSpan + "A letter from 1986" + kSpanEnd +
                kBreak + kBreak + "Dear reader, " + kBreak +
                "\r\n<text:tab-stop/>this file is &lt;older&gt; than most &amp; still " +
                kBoldSpan + "opens." + kSpanEnd + kBreak + kBoldSpan + "Bold runs on here" +
                kSpanEnd + ", and a page number hides nothing." + kBreak + "Regards\r\n</text:p>");
}

TEST(PendingLine, SpilledLinesComeBackWholeAndInOrder) {
  std::string stored;
  StringSink sink(stored);
  TextWriter out(sink);
  {
    // A line of the default limit grows a buffer, which is kept for the thread's next line:
    // that one must still hold no more than its own limit.
    PendingLine earlier;
    earlier.repeat(' ', 1 << 20);
  }
  PendingLine line(16);
  std::string expected;
  for (int round = 0; round < 3; ++round) {  // the spill file is reused line after line
    std::string text = "round " + std::to_string(round) + " of a line longer than the limit";
    line.append(text);
    line.repeat('.', 40);
    line.put('!');
    EXPECT_LE(line.memory_held(), 16u);
    out.write("\n<");
    line.write_to(out);
    expected += "\r\n<" + text + std::string(40, '.') + "!";
  }
  line.put('x');
  line.write_to(out);
  out.flush();
  EXPECT_FALSE(out.failed());
  EXPECT_EQ(stored, expected + "x");
}

TEST(PendingLine, MappedRunsGrowAndSpillInOrder) {
  std::string stored;
  StringSink sink(stored);
  TextWriter out(sink);
  PendingLine line(10000);
  std::string run(25000, 'a');
  for (std::size_t i = 0; i < run.size(); i += 7) run[i] = '<';
  const auto* begin = reinterpret_cast<const std::uint8_t*>(run.data());
  line.put('[');
  line.append_mapped(begin, begin + run.size(), html::copy_document_characters);
  EXPECT_LE(line.memory_held(), 10000u);
  line.write_to(out);
  out.flush();
  std::string expected = run;
  for (char& c : expected) c = html::document_character(c);
  EXPECT_EQ(stored, "[" + expected);
}

// Short lines and short blank runs take fixed-size copies; what they store must not change
// near the buffer's capacity, past the short-line bound, or across a flush of the writer.
TEST(PendingLine, ShortCopiesStoreExactlyTheirBytes) {
  for (std::size_t limit : {std::size_t{40}, std::size_t{4096}, std::size_t{100000}}) {
    std::string stored;
    StringSink sink(stored);
    std::string expected;
    {
      TextWriter out(sink);
      out.repeat('-', TextWriter::kCapacity - 10);
      expected += std::string(TextWriter::kCapacity - 10, '-');
      PendingLine line(limit);
      for (std::size_t length : {0, 1, 31, 32, 33, 39, 40, 63, 64, 65, 4095, 4096, 4097, 9000}) {
        std::string text;
        for (std::size_t i = 0; text.size() < length; ++i) {
          std::size_t blanks = std::min<std::size_t>(i % 40, length - text.size());
          line.repeat(' ', blanks);
          text.append(blanks, ' ');
          if (text.size() < length) {
            line.put(static_cast<char>('a' + i % 26));
            text.push_back(static_cast<char>('a' + i % 26));
          }
        }
        line.write_to(out);
        out.put('\n');
        expected += text + "\r\n";
      }
    }
    EXPECT_EQ(stored, expected) << "limit " << limit;
  }
}

// Texts from tables go in as fixed-size blocks and short lines go out as one: only the
// counted bytes may show, and a line that outgrew the short bound or the memory limit must
// still come out in full.
TEST(PendingLine, PaddedTextsAndShortLinesKeepExactlyTheirBytes) {
  static constexpr char kPadded[17] = "abcdefghijklmnop";
  for (std::size_t limit : {std::size_t{3}, std::size_t{40}, std::size_t{4096}}) {
    std::string stored;
    StringSink sink(stored);
    std::string expected;
    {
      TextWriter out(sink);
      out.repeat('-', TextWriter::kCapacity - 50);
      expected += std::string(TextWriter::kCapacity - 50, '-');
      PendingLine line(limit);
      std::string text;
      for (std::size_t i = 0; i < 400; ++i) {
        std::size_t count = i * 7 % 17;
        // As the HTML sink adds table texts: one padded copy into reserved room, where the
        // limit allows that much.
        if (char* at = line.reserve(16)) {
          std::memcpy(at, kPadded, 16);
          line.commit(at + count);
        } else {
          line.append({kPadded, count});
        }
        text.append(kPadded, count);
        if (i % 5 == 4) {
          if (line.is_short()) {
            out.commit(line.put_short(out.reserve(PendingLine::kSlack)));
          } else {
            line.write_to(out);
          }
          expected += text;
          text.clear();
        }
      }
      line.write_to(out);
      expected += text;
    }
    EXPECT_EQ(stored, expected) << "limit " << limit;
  }
}

// Room reserved for several additions grows the buffer or spills what it holds, and is
// refused only when the limit itself is smaller.
TEST(PendingLine, ReservedRoomGrowsOrSpillsAndKeepsTheOrder) {
  std::string stored;
  StringSink sink(stored);
  std::string expected;
  {
    TextWriter out(sink);
    PendingLine line(8192);
    EXPECT_EQ(line.reserve(8193), nullptr);
    for (std::size_t round = 0; round < 5; ++round) {
      std::size_t size = 3000 + round * 1000;  // beyond the first buffer, then the limit
      char* at = line.reserve(size);
      ASSERT_NE(at, nullptr);
      std::memset(at, static_cast<int>('a' + round), size);
      line.commit(at + size);
      expected.append(size, static_cast<char>('a' + round));
      EXPECT_LE(line.memory_held(), 8192u);
    }
    line.write_to(out);
  }
  EXPECT_EQ(stored, expected);
}

TEST(PendingLine, MemoryStaysBoundedByTheLimit) {
  PendingLine line(1024);
  for (int i = 0; i < 100; ++i) line.repeat(' ', 1000);
  EXPECT_LE(line.memory_held(), 1024u);
}

TEST(PendingLine, SpillFailureMarksTheOutputFailed) {
  std::string stored;
  StringSink sink(stored);
  TextWriter out(sink);
  PendingLine line(4, "/nonexistent/quorrel/spill");
  line.append("more than four bytes");
  line.write_to(out);
  EXPECT_TRUE(out.failed());
}

}  // namespace
}  // namespace quorrel
