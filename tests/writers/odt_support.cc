#include "writers/odt_support.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "convert/registry.h"
#include "io/output_file.h"
#include "output/odt_from_sxw.h"
#include "output/skeleton.h"
#include "random_documents.h"
#include "recognition/prefix.h"
#include "writers/odt_writer.h"

namespace quorrel::testing {

void write_package(const std::string& path, const odt::OdtParts& parts) {
  OutputFile file;
  ASSERT_TRUE(file.create(path)) << path;
  ASSERT_TRUE(odt::write_odt_package(file.descriptor(), parts)) << path;
  ASSERT_TRUE(file.commit()) << path;
}

bool write_exact_odt(const std::string& folder, const examples::ExampleFile& document,
                     FormatCode format, const std::string& path, std::string* sxw_content) {
  const ConverterSpec& converter = converter_for(OutputKind::sxw, format);
  MemoryConversion sxw = convert_memory(converter, document.bytes, document.name);
  if (sxw.status != ConvertStatus::ok) return false;
  if (sxw_content != nullptr) *sxw_content = sxw.output;

  ByteSource in = ByteSource::from_memory(document.bytes);
  if (converter.prefix != PrefixRule::none) check_and_skip_prefix(in);
  odt::SxwToOdt odt(folder, document.name);
  TextWriter out(odt);
  converter.body(in, out, DocumentInfo{document.name});
  out.flush();
  EXPECT_FALSE(out.failed()) << document.name;
  EXPECT_TRUE(odt.finish()) << converter.name << " " << document.name;
  write_package(path, odt.parts());
  return true;
}

void write_complete_odt(const std::string& folder, const Script& script, const std::string& path,
                        std::string_view title) {
  writers::OdtWriter odt(folder, title);
  document::DocumentBuilder builder(odt);
  script(builder);
  ASSERT_TRUE(odt.ok()) << path;
  write_package(path, odt.parts());
}

std::string member(const std::vector<Member>& members, const std::string& name) {
  for (const Member& m : members) {
    if (m.name == name) return m.bytes;
  }
  return {};
}

void unpack(const std::string& archive, const std::string& folder) {
  for (const Member& m : members_of(archive)) {
    std::filesystem::path target = std::filesystem::path(folder) / m.name;
    std::filesystem::create_directories(target.parent_path());
    write_file(target.string(), m.bytes);
  }
}

std::vector<examples::ExampleFile> odt_examples() {
  std::vector<examples::ExampleFile> documents = examples::example_files();
  using examples::Shape;
  const std::pair<FormatCode, const char*> formats[] = {
      {TYPE_UNKNOWN, "txt"}, {TYPE_WP, "wp"}, {TYPE_W51, "w51"}, {TYPE_WPD, "wpd"}};
  const std::pair<Shape, const char*> shapes[] = {
      {Shape::text_heavy, "text"}, {Shape::code_heavy, "codes"}, {Shape::worst_case, "worst"}};
  std::uint32_t key = 1;
  for (auto [format, extension] : formats) {
    for (auto [shape, shape_name] : shapes) {
      documents.push_back({std::string("random ") + shape_name + "." + extension,
                           examples::random_document(format, 6000, key++, shape)});
    }
  }
  return documents;
}

}  // namespace quorrel::testing
