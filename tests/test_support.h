// Shared helpers for the tests: a fake dialog, a scratch folder, byte strings.
#pragma once

#include <filesystem>
#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "shell/port.h"

namespace quorrel::testing {

// A dialog kept in maps; records every message box instead of showing it.
class FakePort : public Port {
 public:
  struct Message {
    std::string text, caption;
    bool operator==(const Message&) const = default;
  };

  void set_control_text(int id, std::string_view text) override { texts[id] = text; }
  std::string control_text(int id, std::size_t max_length) override {
    return texts[id].substr(0, max_length);
  }
  bool is_checked(int id) override { return checked[id]; }
  void message_box(std::string_view text, std::string_view caption) override {
    messages.push_back({std::string(text), std::string(caption)});
  }

  // The main dialog's operations: a drop switch, the end value, and a chooser that returns
  // `chosen` and records what it was asked.
  struct ChooserRequest {
    std::string title, filter_label, filter_pattern;
    bool operator==(const ChooserRequest&) const = default;
  };
  void set_checked(int id, bool value) override { checked[id] = value; }
  void check_radio_button(int first, int last, int id) override {
    for (int button = first; button <= last; ++button) checked[button] = button == id;
  }
  void accept_dropped_files(bool accept) override { drops_accepted = accept; }
  void end_dialog(int result) override { end_value = result; }
  std::vector<std::string> choose_files(std::string_view title, std::string_view filter_label,
                                        std::string_view filter_pattern) override {
    chooser_requests.push_back(
        {std::string(title), std::string(filter_label), std::string(filter_pattern)});
    return chosen;
  }

  std::map<int, std::string> texts;
  std::map<int, bool> checked;
  std::vector<Message> messages;
  bool drops_accepted = false;
  std::optional<int> end_value;
  std::vector<std::string> chosen;
  std::vector<ChooserRequest> chooser_requests;
};

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  const std::filesystem::path& path() const { return path_; }
  std::string file(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

std::string bytes(std::initializer_list<int> values);
void write_file(const std::string& path, const std::string& content);
std::string read_file(const std::string& path);
bool exists(const std::string& path);
// The path of a document of the shared corpus, or "" when the corpus is not present.
std::string corpus_file(const std::string& name);
// Names in the folder, sorted.
std::vector<std::string> list_folder(const std::filesystem::path& folder);

}  // namespace quorrel::testing
