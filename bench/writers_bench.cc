// Throughput of the complete reading's writers, one core, in memory: a generated reading with
// the shape of real documents (paragraphs of words, attribute changes, tabs, notes, tables;
// more markup characters than real text holds) is played through the document builder into
// each writer. Bytes are the document's text; builder_only is the builder's own share.
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "counting_sink.h"
#include "document/builder.h"
#include "output/sink.h"
#include "writers/html_writer.h"
#include "writers/plain_text_writer.h"
#include "writers/sxw_writer.h"

namespace quorrel::writers {
namespace {

using document::Attribute;
using document::DocumentBuilder;
using document::SubDocument;

// A reader's calls, recorded once.
struct Step {
  enum Kind { text, bold_on, bold_off, tab, paragraph, note_on, note_off, cell, table_end } kind;
  std::string words;
};

struct Reading {
  std::vector<Step> steps;
  std::size_t text_bytes = 0;
};

const Reading& reading() {
  static const Reading generated = [] {
    Reading r;
    std::mt19937 random(5);
    static const char* kWords[] = {"the",      "document", "of",   "WordPerfect", "a",
                                   "letter",   "Smith",    "&",    "section",   "and",
                                   "\xC3\xA9t\xC3\xA9", "quotes", "in",   "1989",        "x"};
    while (r.text_bytes < 64 * 1024 * 1024) {
      std::string words;
      int length = 40 + static_cast<int>(random() % 120);
      for (int i = 0; i < length; ++i) {
        words += kWords[random() % std::size(kWords)];
        words += ' ';
        if (random() % 40 == 0) {
          r.text_bytes += words.size();
          r.steps.push_back({Step::text, std::move(words)});
          words.clear();
          r.steps.push_back({random() % 2 ? Step::bold_on : Step::bold_off, {}});
        }
        if (random() % 80 == 0) r.steps.push_back({Step::tab, {}});
      }
      r.text_bytes += words.size();
      r.steps.push_back({Step::text, std::move(words)});
      if (random() % 60 == 0) {
        r.steps.push_back({Step::note_on, {}});
        r.steps.push_back({Step::text, "A note with a few words in it."});
        r.steps.push_back({Step::note_off, {}});
      }
      if (random() % 100 == 0) {
        for (int i = 0; i < 12; ++i) {
          r.steps.push_back({Step::cell, {}});
          r.steps.push_back({Step::text, "cell text"});
        }
        r.steps.push_back({Step::table_end, {}});
      }
      r.steps.push_back({Step::paragraph, {}});
    }
    return r;
  }();
  return generated;
}

void play(const Reading& r, DocumentBuilder& b) {
  for (const Step& step : r.steps) {
    switch (step.kind) {
      case Step::text: b.text(step.words); break;
      case Step::bold_on: b.set_attribute(Attribute::bold, true); break;
      case Step::bold_off: b.set_attribute(Attribute::bold, false); break;
      case Step::tab: b.tab(); break;
      case Step::paragraph: b.paragraph_break(); break;
      case Step::note_on: b.open_sub_document(SubDocument::footnote); break;
      case Step::note_off: b.close_sub_document(); break;
      case Step::cell: b.open_cell(); break;
      case Step::table_end: b.close_table(); break;
    }
  }
  b.finish();
}

template <class Writer, class... Arguments>
void write(benchmark::State& state, Arguments... arguments) {
  const Reading& r = reading();
  for (auto _ : state) {
    CountingSink sink;
    Writer writer(sink, arguments...);
    DocumentBuilder builder(writer);
    play(r, builder);
    benchmark::DoNotOptimize(sink.bytes);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * r.text_bytes));
}

// The builder alone, for comparison: what the writers add is the difference.
class NullWriter final : public document::DocumentSink {
 public:
  explicit NullWriter(Sink&) {}
  void open_paragraph(document::Align) override {}
  void close_paragraph() override {}
  void text(std::string_view, document::Attributes) override {}
  void tab() override {}
  void line_break() override {}
  void page_break() override {}
  void open_sub_document(SubDocument) override {}
  void close_sub_document() override {}
  void open_table(int) override {}
  void open_row() override {}
  void open_cell() override {}
  void close_cell() override {}
  void close_row() override {}
  void close_table() override {}
  void end_document() override {}
};

void builder_only(benchmark::State& state) { write<NullWriter>(state); }
void text_writer(benchmark::State& state) { write<PlainTextWriter>(state); }
void html_writer(benchmark::State& state) { write<HtmlWriter>(state, "bench"); }
void sxw_writer(benchmark::State& state) { write<SxwContentWriter>(state); }

BENCHMARK(builder_only)->Unit(benchmark::kMillisecond);
BENCHMARK(text_writer)->Unit(benchmark::kMillisecond);
BENCHMARK(html_writer)->Unit(benchmark::kMillisecond);
BENCHMARK(sxw_writer)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quorrel::writers

BENCHMARK_MAIN();
