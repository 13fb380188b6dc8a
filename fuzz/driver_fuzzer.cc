// Fuzzes the Convert command over a fake dialog: fuzzed options and a list of fuzzed file names
// (regular files with fuzzed contents, missing files, folders, FIFOs), converted into real
// files inside a private temporary folder. Checks that nothing is left or written anywhere
// else, that every output under a final name is complete and well formed, and, when no name
// of the list can be another one's output, exactly which messages, outputs and archives
// the batch gives.
//
// File names never hold '/' or NUL (they are mapped to '_'), so every path stays inside the
// private folder. Input layout: one option byte (bits 0-2 text, HTML, SXW; bits 3-6 the radio
// buttons Auto Detect, ancient, 5.1, 6-9; bit 7 leaves no list loaded), then up to eight
// records, each a name (below) and a 16-bit little-endian word: its top two bits the kind of
// file (regular, missing, folder, FIFO), its low 14 bits the length of the contents that
// follow. A name is a length byte below 128 and that many bytes; or 128 + i and a byte s: name
// i of the list (modulo its size) with the suffix s of ".txt", ".html", ".sxw", ".wp", ".wpd",
// "" (so that names meet each other's outputs); or 192 + k and four bytes: a name of 240 + k
// bytes around the file system's 255-byte limit, ending with the four bytes.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "convert/registry.h"
#include "io/output_file.h"
#include "output/skeleton.h"
#include "properties.h"
#include "recognition/identify.h"
#include "recognition/prefix.h"
#include "reused_writer.h"
#include "shell/controls.h"
#include "shell/driver.h"
#include "shell/messages.h"

namespace fs = std::filesystem;
using quorrel::fuzz::require;

namespace {

constexpr std::size_t kMaxFiles = 8;
constexpr std::size_t kMaxContent = 4096;
constexpr std::size_t kNameMax = 255;  // the longest name a Linux file system takes

enum class FileKind { regular, missing, folder, fifo };

struct Record {
  std::string name;
  FileKind kind;
  std::string content;
};

struct Options {
  bool txt, html, sxw, auto_detect, wp, w51, wpd, no_list;
};

class Reader {
 public:
  Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  bool empty() const { return at_ >= size_; }
  int byte() { return at_ < size_ ? data_[at_++] : 0; }
  std::string bytes(std::size_t n) {
    n = std::min(n, size_ - std::min(at_, size_));
    std::string taken(reinterpret_cast<const char*>(data_ + at_), n);
    at_ += n;
    return taken;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

std::string safe_name(std::string name) {
  for (char& c : name) {
    if (c == '/' || c == '\0') c = '_';
  }
  return name;
}

std::vector<Record> parse_records(Reader& in) {
  static constexpr std::string_view kSuffixes[] = {".txt", ".html", ".sxw", ".wp", ".wpd", ""};
  std::vector<Record> records;
  while (!in.empty() && records.size() < kMaxFiles) {
    int k = in.byte();
    std::string name;
    if (k < 128) {
      name = in.bytes(static_cast<std::size_t>(k));
    } else if (k < 192) {
      int suffix = in.byte() % 6;
      if (!records.empty()) name = records[static_cast<std::size_t>(k - 128) % records.size()].name;
      name += kSuffixes[suffix];
    } else {
      name = std::string(240 + static_cast<std::size_t>(k - 192) - 4, 'L') + in.bytes(4);
    }
    int word = in.byte() | in.byte() << 8;
    auto kind = static_cast<FileKind>(word >> 14);
    std::string content = in.bytes(std::min<std::size_t>(word & 0x3FFF, kMaxContent));
    records.push_back({safe_name(std::move(name)), kind, std::move(content)});
  }
  return records;
}

// The private folder: in/ holds the inputs and their outputs, work/ is the current directory
// during a batch, where nothing may be written. In memory (/dev/shm) where the system has it:
// a disk's file system spends most of a run creating and removing the files.
class Playground {
 public:
  Playground() {
    std::error_code unknown;
    fs::path base = fs::is_directory("/dev/shm", unknown) && ::access("/dev/shm", W_OK) == 0
                        ? fs::path("/dev/shm")
                        : fs::temp_directory_path();
    std::string pattern = (base / "quorrel-driver-fuzz-XXXXXX").string();
    require(::mkdtemp(pattern.data()) != nullptr, "private folder");
    root_ = pattern;
  }
  ~Playground() {
    std::error_code ignored;
    fs::remove_all(root_, ignored);
  }
  void reset() {
    std::error_code ignored;
    fs::remove_all(in(), ignored);
    fs::remove_all(work(), ignored);
    require(fs::create_directory(in()) && fs::create_directory(work()), "fresh folders");
  }
  const fs::path& root() const { return root_; }
  fs::path in() const { return root_ / "in"; }
  fs::path work() const { return root_ / "work"; }

 private:
  fs::path root_;
};

// The dialog as maps: the controls' texts and check states, and each message box as its
// caption and text.
class FuzzPort final : public quorrel::Port {
 public:
  void set_control_text(int id, std::string_view text) override { texts_[id] = text; }
  std::string control_text(int id, std::size_t max_length) override {
    return texts_[id].substr(0, max_length);
  }
  bool is_checked(int id) override { return checked_[id]; }
  void message_box(std::string_view text, std::string_view caption) override {
    shown.emplace_back(std::string(caption), std::string(text));
  }
  void set_checked(int id, bool checked) override { checked_[id] = checked; }
  void check_radio_button(int first, int last, int id) override {
    for (int button = first; button <= last; ++button) checked_[button] = button == id;
  }
  void accept_dropped_files(bool) override {}
  void end_dialog(int) override {}
  std::vector<std::string> choose_files(std::string_view, std::string_view,
                                        std::string_view) override {
    return {};
  }

  std::vector<std::pair<std::string, std::string>> shown;  // caption, text

 private:
  std::map<int, std::string> texts_;
  std::map<int, bool> checked_;
};

class Dialog {
 public:
  explicit Dialog(const Options& options) {
    port_.set_checked(quorrel::ID_TXT_CHECK, options.txt);
    port_.set_checked(quorrel::ID_HTML_CHECK, options.html);
    port_.set_checked(quorrel::ID_XML_CHECK, options.sxw);
    port_.set_checked(quorrel::ID_AUTO_RAD, options.auto_detect);
    port_.set_checked(quorrel::ID_WP_RAD, options.wp);
    port_.set_checked(quorrel::ID_W51_RAD, options.w51);
    port_.set_checked(quorrel::ID_WPD_RAD, options.wpd);
  }
  quorrel::Port& port() { return port_; }
  std::string to_box() { return port_.control_text(quorrel::ID_TO_TXT, std::string::npos); }

  // The texts of the message boxes shown, each checked for its caption.
  std::vector<std::string> messages() {
    std::vector<std::string> texts;
    for (const auto& [caption, text] : port_.shown) {
      bool nothing = text == quorrel::kNothingSelected;
      require(
          caption == (nothing ? quorrel::kNothingSelectedCaption : quorrel::kFileIoErrorCaption),
          "each message has its caption");
      texts.push_back(text);
    }
    return texts;
  }

 private:
  FuzzPort port_;
};

// The member content.xml of a ZIP archive; nothing when the file is no such archive.
std::optional<std::string> archive_content(const std::string& path) {
  int error = 0;
  zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY, &error);
  if (archive == nullptr) return std::nullopt;
  std::optional<std::string> content;
  zip_stat_t info;
  if (zip_stat(archive, "content.xml", 0, &info) == 0 && (info.valid & ZIP_STAT_SIZE) &&
      zip_name_locate(archive, "mimetype", 0) >= 0) {
    zip_file_t* file = zip_fopen(archive, "content.xml", 0);
    std::string bytes(info.size, '\0');
    if (file != nullptr &&
        zip_fread(file, bytes.data(), info.size) == static_cast<zip_int64_t>(info.size)) {
      content = std::move(bytes);
    }
    if (file != nullptr) zip_fclose(file);
  }
  zip_discard(archive);
  return content;
}

std::string read_whole(const fs::path& path) {
  std::string bytes;
  int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return bytes;
  char buffer[65536];
  for (ssize_t got; (got = ::read(fd, buffer, sizeof buffer)) > 0;) bytes.append(buffer, got);
  ::close(fd);
  return bytes;
}

// lstat, which unlike std::filesystem never throws for a name that is too long.
bool present(const fs::path& path) {
  struct stat info;
  return ::lstat(path.c_str(), &info) == 0;
}

bool is_regular(const fs::path& path) {
  struct stat info;
  return ::lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::vector<std::string> folder_names(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  return names;
}

constexpr std::string_view kExtensions[] = {".txt", ".html", ".sxw"};

// Every name an output of `name` may have.
std::vector<std::string> possible_outputs(const std::string& name) {
  using quorrel::ArchiveRule;
  std::vector<std::string> outputs = {name + ".txt", name + ".html"};
  for (ArchiveRule rule :
       {ArchiveRule::two_letter_extension, ArchiveRule::three_letter_extension}) {
    std::string archive = quorrel::archive_path_for(rule, "in/" + name);
    outputs.push_back(archive.substr(3));
  }
  return outputs;
}

struct Expected {
  std::vector<std::string> messages;
  std::string to_box;
  std::map<std::string, std::optional<std::string>> files;     // in/: output name, bytes or absent
  std::map<std::string, std::optional<std::string>> archives;  // name, content.xml or absent
};

// What the batch must give when no name of the list can be overwritten by the conversion of
// another, so that every input stays as created.
Expected predict(const std::vector<Record>& records, const Options& options,
                 const fs::path& folder) {
  using quorrel::OutputKind;
  Expected expected;
  std::map<std::string, std::string> regular;  // the inputs that really are regular files
  for (const Record& record : records) {
    if (is_regular(folder / record.name)) regular[record.name] = read_whole(folder / record.name);
  }
  constexpr OutputKind kKinds[] = {OutputKind::text, OutputKind::html, OutputKind::sxw};
  const bool chosen[] = {options.txt, options.html, options.sxw};
  for (auto record = records.rbegin(); record != records.rend(); ++record) {
    const std::string& name = record->name;
    auto input = regular.find(name);
    for (int k = 0; k < 3; ++k) {
      if (!chosen[k]) continue;
      expected.to_box += name + std::string(kExtensions[k]) + "\r\n";
      quorrel::FormatCode format = quorrel::TYPE_UNKNOWN;
      if (options.wp)
        format = quorrel::TYPE_WP;
      else if (options.w51)
        format = quorrel::TYPE_W51;
      else if (options.wpd)
        format = quorrel::TYPE_WPD;
      else if (input == regular.end())
        expected.messages.emplace_back(quorrel::kUnableToOpenFile);
      else {
        quorrel::ByteSource in = quorrel::ByteSource::from_memory(input->second);
        format = quorrel::identify(in);
      }
      const quorrel::ConverterSpec& converter = quorrel::converter_for(kKinds[k], format);
      std::string output_name =
          kKinds[k] == OutputKind::sxw ? "" : name + std::string(kExtensions[k]);
      if (input == regular.end()) {
        expected.messages.emplace_back(quorrel::kUnableToOpenFiles);
        continue;
      }
      static std::string output;
      quorrel::ConvertStatus status =
          quorrel::fuzz::convert_reusing_writer(converter, input->second, name, output);
      if (status != quorrel::ConvertStatus::ok) {
        expected.messages.emplace_back(converter.prefix == quorrel::PrefixRule::wp51
                                           ? quorrel::kNotWp51Message
                                           : quorrel::kNotWpdMessage);
        continue;
      }
      if (kKinds[k] != OutputKind::sxw) {
        if (output_name.size() > kNameMax) {
          expected.messages.emplace_back(quorrel::kUnableToOpenFiles);
          expected.files.emplace(output_name, std::nullopt);  // never made
        } else {
          expected.files[output_name] = output;
        }
        continue;
      }
      std::string archive = quorrel::archive_path_for(converter.archive, "in/" + name).substr(3);
      if (archive.size() > kNameMax) {
        expected.messages.emplace_back(quorrel::kUnableToOpenFiles);
        expected.archives.emplace(archive, std::nullopt);
      } else {
        expected.archives[archive] = output;
      }
    }
  }
  return expected;
}

// What check_safety read of in/, so that check_against reads no file or archive twice.
struct ReadBack {
  std::map<std::string, std::string> files;     // every regular file: its bytes
  std::map<std::string, std::string> contents;  // every archive checked: its content.xml
};

void check_against(const Expected& expected, Dialog& dialog, const fs::path& in,
                   const fs::path& work, const ReadBack& read) {
  std::vector<std::string> messages = dialog.messages();
  auto joined = [](const std::vector<std::string>& texts) {
    std::string all;
    for (const std::string& text : texts) all += "[" + text + "]";
    return all;
  };
  require(messages == expected.messages, "the predicted messages",
          joined(messages) + " instead of " + joined(expected.messages));
  require(dialog.to_box() == expected.to_box, "the To box lists every output started");
  for (const auto& [name, bytes] : expected.files) {
    bool there = present(in / name);
    require(there == bytes.has_value(), "an output exactly where predicted");
    if (bytes) {
      auto file = read.files.find(name);
      require((file != read.files.end() ? file->second : read_whole(in / name)) == *bytes,
              "the predicted output");
    }
  }
  for (const auto& [name, content] : expected.archives) {
    bool there = present(in / name);
    require(there == content.has_value(), "an archive exactly where predicted");
    if (content) {
      auto known = read.contents.find(name);
      require(known != read.contents.end() ? known->second == *content
                                           : archive_content((in / name).string()) == *content,
              "archive content");
    }
  }
  require(folder_names(work).empty(), "nothing in the current directory");
}

// Holds whatever the list was: nothing partial, nothing outside, every output well formed.
ReadBack check_safety(const std::vector<Record>& records,
                      const std::map<std::string, std::string>& created, const fs::path& root) {
  ReadBack read;
  std::vector<std::string> top = folder_names(root);
  require(top.size() == 2, "nothing written beside in/ and work/");
  std::set<std::string> allowed;
  for (const Record& record : records) {
    allowed.insert(record.name);
    for (std::string& output : possible_outputs(record.name)) allowed.insert(std::move(output));
  }
  require(folder_names(root / "work").empty(), "nothing in the current directory");
  for (const std::string& name : folder_names(root / "in")) {
    // A fuzzed input may have a temporary file's name itself, and so its outputs.
    require(!name.starts_with(quorrel::kTemporaryPrefix) || allowed.count(name) > 0,
            "no temporary file left behind");
    require(allowed.count(name) > 0, "no file but an input or one of its outputs");
    fs::path path = root / "in" / name;
    if (!is_regular(path)) continue;
    const std::string& bytes = read.files[name] = read_whole(path);
    auto original = created.find(name);
    if (original != created.end() && original->second == bytes) continue;  // an input
    std::string why;
    if (name.ends_with(".txt")) {
      require(quorrel::fuzz::is_clean_text(bytes), "a text output is clean");
    } else if (name.ends_with(".html")) {
      std::string title = quorrel::fuzz::expected_title(name.substr(0, name.size() - 5));
      require(quorrel::fuzz::is_clean_html(bytes, title, &why), "an HTML output is clean", why);
    } else {
      std::optional<std::string> content = archive_content(path.string());
      require(content.has_value(), "an archive holds content.xml and mimetype");
      require(quorrel::fuzz::is_well_formed_content(*content, &why), "packed content", why);
      read.contents[name] = std::move(*content);
    }
  }
  return read;
}

// Makes `folder` the current directory for the length of a batch; libFuzzer's own files keep
// going where it was started.
class InFolder {
 public:
  explicit InFolder(const fs::path& folder) : previous_(fs::current_path()) {
    fs::current_path(folder);
  }
  ~InFolder() { fs::current_path(previous_); }

 private:
  fs::path previous_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Playground playground;
  Reader reader(data, size);
  int bits = reader.byte();
  Options options{(bits & 1) != 0,  (bits & 2) != 0,  (bits & 4) != 0,  (bits & 8) != 0,
                  (bits & 16) != 0, (bits & 32) != 0, (bits & 64) != 0, (bits & 128) != 0};
  std::vector<Record> records = parse_records(reader);

  playground.reset();
  std::map<std::string, std::string> created;  // regular inputs as made
  for (const Record& record : records) {
    std::string path = (playground.in() / record.name).string();
    switch (record.kind) {
      case FileKind::regular: {
        int fd = ::open(path.c_str(),
                        O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0644);
        if (fd < 0) break;  // a name too long, ".", "..", or a folder already there
        struct stat info;
        bool made = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
                    ::write(fd, record.content.data(), record.content.size()) ==
                        static_cast<ssize_t>(record.content.size());
        ::close(fd);
        if (made) created[record.name] = record.content;
        break;
      }
      case FileKind::missing:
        break;
      case FileKind::folder:
        ::mkdir(path.c_str(), 0755);
        break;
      case FileKind::fifo:
        ::mkfifo(path.c_str(), 0644);
        break;
    }
  }

  quorrel::BatchState batch;
  batch.filepath = playground.in().string();
  for (const Record& record : records) batch.filelist += record.name + "\r\n";
  batch.fileflag = options.no_list ? 0 : 1;
  Dialog dialog(options);
  dialog.port().set_control_text(quorrel::ID_TO_TXT, "earlier");

  // Predictions hold when every input stays as made: no name is another's output, no
  // carriage return splits a name in the list, and no name is empty (the list's first line
  // would end it); and when no two names may share an archive (a.wp and a both give a.sxw),
  // which the batch refuses to write twice.
  bool predictable = !options.no_list;
  std::set<std::string> outputs;
  std::map<std::string, std::string> archive_of;  // each possible archive: whose it is
  for (const Record& record : records) {
    predictable =
        predictable && !record.name.empty() && record.name.find('\r') == std::string::npos;
    for (std::string& output : possible_outputs(record.name)) {
      if (output.ends_with(".sxw")) {
        auto [owner, fresh] = archive_of.emplace(output, record.name);
        predictable = predictable && (fresh || owner->second == record.name);
      }
      outputs.insert(std::move(output));
    }
  }
  for (const Record& record : records) predictable = predictable && !outputs.count(record.name);
  std::optional<Expected> expected;
  bool any_output = options.txt || options.html || options.sxw;
  bool any_input = options.auto_detect || options.wp || options.w51 || options.wpd;
  if (predictable && any_output && any_input) {
    expected = predict(records, options, playground.in());
  }

  {
    InFolder here(playground.work());
    quorrel::DlgConvertSelected(batch, dialog.port());
  }

  ReadBack read = check_safety(records, created, playground.root());
  if (options.no_list || !any_output || !any_input) {
    // Nothing is converted: the list stays loaded unless there was none.
    require(dialog.messages().size() == (options.no_list ? 0u : 1u), "at most one message");
    require(options.no_list == (dialog.to_box() == "earlier"), "the To box kept without a list");
    require(folder_names(playground.work()).empty(), "nothing written");
    require(batch.fileflag == (options.no_list ? 0 : 1), "the list is kept");
  } else {
    require(batch.fileflag == 0 && batch.filelist.empty(), "the list is used up");
    if (expected) {
      check_against(*expected, dialog, playground.in(), playground.work(), read);
    } else {
      dialog.messages();  // their captions
    }
  }
  return 0;
}
