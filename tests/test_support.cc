#include "test_support.h"

#include <grp.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zip.h>

#include <algorithm>
#include <cctype>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "cli/cli.h"
#include "convert/registry.h"
#include "output/skeleton.h"

namespace quorrel::testing {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "quorrel-test-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(path_, ignored);
}

CurrentDirectory::CurrentDirectory(const std::filesystem::path& folder)
    : previous_(std::filesystem::current_path()) {
  std::filesystem::current_path(folder);
}

CurrentDirectory::~CurrentDirectory() {
  std::error_code ignored;
  std::filesystem::current_path(previous_, ignored);
}

std::string bytes(std::initializer_list<int> values) {
  std::string result;
  for (int v : values) result.push_back(static_cast<char>(v));
  return result;
}

std::string convert_area(const ConverterSpec& converter, const std::string& area,
                         std::string_view title) {
  MemoryConversion result =
      convert_memory(converter, bytes({255, 'W', 'P', 'C', 6, 0}) + area, title);
  EXPECT_EQ(result.status, ConvertStatus::ok) << converter.name;
  return result.output;
}

std::string convert_wpd_area(OutputKind kind, const std::string& area, std::string_view title) {
  return convert_area(converter_for(kind, TYPE_WPD), area, title);
}

void write_file(const std::string& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary);
  out << content;
  if (!out.flush()) throw std::runtime_error("cannot write " + path);
}

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

bool exists(const std::string& path) { return std::filesystem::exists(path); }

std::string source_file(const std::string& relative) {
  return std::string(QUORREL_SOURCE_DIR) + "/" + relative;
}

std::string corpus_file(const std::string& name) {
  std::string path = std::string(QUORREL_CORPUS_DIR) + "/" + name;
  return exists(path) ? path : std::string();
}

std::string golden_file(const std::string& name) {
  return std::string(QUORREL_GOLDEN_DIR) + "/" + name;
}

std::vector<std::string> list_folder(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<Member> members_of(const std::string& path) {
  std::vector<Member> members;
  int error = 0;
  zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY, &error);
  if (archive == nullptr) {
    ADD_FAILURE() << path << " does not open as a ZIP archive";
    return members;
  }
  for (zip_int64_t i = 0; i < zip_get_num_entries(archive, 0); ++i) {
    zip_stat_t info;
    zip_stat_index(archive, static_cast<zip_uint64_t>(i), 0, &info);
    std::string bytes(info.size, '\0');
    zip_file_t* file = zip_fopen_index(archive, static_cast<zip_uint64_t>(i), 0);
    EXPECT_EQ(zip_fread(file, bytes.data(), info.size), static_cast<zip_int64_t>(info.size));
    zip_fclose(file);
    members.push_back({info.name, bytes, info.comp_method == ZIP_CM_STORE});
  }
  zip_discard(archive);
  return members;
}

std::string content_of(const std::string& archive_path) {
  for (const Member& member : members_of(archive_path)) {
    if (member.name == "content.xml") return member.bytes;
  }
  return {};
}

OdtPackage read_odt_package(const std::string& path) {
  OdtPackage package;
  std::string bytes = read_file(path);
  // The mimetype's local header opens the file, its name and its bytes follow uncompressed.
  if (bytes.compare(0, 4, "PK\x03\x04", 4) != 0 || bytes.compare(30, 8, "mimetype") != 0 ||
      bytes.compare(38, 39, "application/vnd.oasis.opendocument.text") != 0) {
    package.problem = "the file does not open with the stored mimetype";
    return package;
  }
  std::vector<Member> members = members_of(path);
  std::vector<std::string> names;
  for (const Member& member : members) names.push_back(member.name);
  if (names != std::vector<std::string>{"mimetype", "META-INF/manifest.xml", "content.xml",
                                        "styles.xml", "meta.xml"}) {
    package.problem = "unexpected members";
    for (const std::string& name : names) package.problem += " " + name;
    return package;
  }
  if (!members[0].stored) package.problem = "the mimetype is compressed";
  package.content = members[2].bytes;
  package.styles = members[3].bytes;
  package.meta = members[4].bytes;
  return package;
}

namespace {

std::string drain(std::FILE* file) {
  std::rewind(file);
  std::string text;
  for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file))
    text.push_back(static_cast<char>(c));
  std::fclose(file);
  return text;
}

}  // namespace

CliRun run_cli_here(std::vector<std::string> args) {
  args.insert(args.begin(), "quorrel-cli");
  std::vector<const char*> argv;
  for (const std::string& arg : args) argv.push_back(arg.c_str());
  // In memory, with descriptors of their own: a child running as another user may have no
  // temporary folder it can write.
  auto capture = [](const char* name) { return ::fdopen(::memfd_create(name, MFD_CLOEXEC), "w+"); };
  std::FILE* out = capture("cli-out");
  std::FILE* err = capture("cli-err");
  int status = run_cli(static_cast<int>(argv.size()), argv.data(), out, err);
  return {status, drain(out), drain(err)};
}

namespace {

// In the child: false when a limit could not be set.
bool take_on(const ChildLimits& limits) {
  if (limits.close_standard_output) ::close(1);
  if (limits.file_size != 0) {
    // Ignored, a write past the limit fails with EFBIG instead.
    ::signal(SIGXFSZ, limits.default_file_size_signal ? SIG_DFL : SIG_IGN);
    struct rlimit limit = {limits.file_size, limits.file_size};
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) return false;
  }
  if (limits.unprivileged && ::geteuid() == 0) {
    constexpr uid_t kNobody = 65534;
    if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) {
      return false;
    }
  }
  if (limits.no_threads) {
    struct rlimit none = {0, 0};
    if (::geteuid() == 0 || ::setrlimit(RLIMIT_NPROC, &none) != 0) return false;
  }
  return true;
}

ChildResult wait_for(pid_t child) {
  ChildResult result;
  int status = 0;
  struct rusage usage = {};
  if (::wait4(child, &status, 0, &usage) != child) return result;
  if (WIFEXITED(status)) result.exit_status = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
  result.max_rss_kb = usage.ru_maxrss;
  return result;
}

}  // namespace

ChildResult run_in_child(const std::function<int()>& body, ChildLimits limits) {
  pid_t child = ::fork();
  if (child == 0) ::_exit(take_on(limits) ? body() : kLimitsRefused);
  return child < 0 ? ChildResult{} : wait_for(child);
}

ChildResult run_program(const std::vector<std::string>& args, ChildLimits limits) {
  std::vector<char*> argv;
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  pid_t child = ::fork();
  if (child == 0) {
    if (!take_on(limits)) ::_exit(kLimitsRefused);
    ::execvp(argv[0], argv.data());
    ::_exit(127);
  }
  return child < 0 ? ChildResult{} : wait_for(child);
}

std::string cli_program() { return QUORREL_CLI_PROGRAM; }

std::string find_program(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::istringstream folders(path != nullptr ? path : "/usr/bin:/bin");
  for (std::string folder; std::getline(folders, folder, ':');) {
    std::string candidate = (folder.empty() ? "." : folder) + "/" + name;
    if (::access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return {};
}

std::string letters_of(std::string_view text) {
  std::string letters;
  for (char c : text) {
    if (!std::isspace(static_cast<unsigned char>(c))) letters.push_back(c);
  }
  return letters;
}

}  // namespace quorrel::testing
