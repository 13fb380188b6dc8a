// Conversions in memory for the fuzz targets, through one writer kept for the whole process.
// A new writer's 256 KiB buffer is too large for ASan's size classes: it is mapped, poisoned,
// faulted in and unmapped for every conversion, which took most of a fuzz run's time. After
// its flush a writer is as good as new.
#pragma once

#include <string>
#include <string_view>

#include "convert/converter.h"
#include "output/skeleton.h"

namespace quorrel::fuzz {

// What convert_memory gives, into `output` (cleared first, its capacity kept). Not for ODT,
// which is packed in memory of its own.
ConvertStatus convert_reusing_writer(const ConverterSpec& converter, std::string_view input,
                                     std::string_view title, std::string& output);

}  // namespace quorrel::fuzz
