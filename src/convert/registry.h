// The converter table: the only place that maps an output kind and a format code to a converter.
#pragma once

#include "convert/converter.h"
#include "recognition/format.h"

namespace quorrel {

const ConverterSpec& converter_for(OutputKind kind, FormatCode format);

}  // namespace quorrel
