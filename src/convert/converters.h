// The twelve document bodies, one per input generation and output kind. Each runs on any
// ByteSource and TextWriter, so tests, fuzzers and benchmarks need no files.
#pragma once

#include "convert/converter.h"

namespace quorrel {

void any2txt(ByteSource& in, TextWriter& out, const DocumentInfo& info);
void any2html(ByteSource& in, TextWriter& out, const DocumentInfo& info);
void any2xml(ByteSource& in, TextWriter& out, const DocumentInfo& info);
void wp2txt(ByteSource& in, TextWriter& out, const DocumentInfo& info);
void wp2html(ByteSource& in, TextWriter& out, const DocumentInfo& info);
void wp2xml(ByteSource& in, TextWriter& out, const DocumentInfo& info);
void wpd2txt(ByteSource& in, TextWriter& out, const DocumentInfo& info);
void w512txt(ByteSource& in, TextWriter& out, const DocumentInfo& info);
void w512html(ByteSource& in, TextWriter& out, const DocumentInfo& info);
void w512xml(ByteSource& in, TextWriter& out, const DocumentInfo& info);
void wpd2html(ByteSource& in, TextWriter& out, const DocumentInfo& info);
void wpd2xml(ByteSource& in, TextWriter& out, const DocumentInfo& info);

}  // namespace quorrel
