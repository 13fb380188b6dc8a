#include "convert/registry.h"

#include "convert/converters.h"

namespace quorrel {

namespace {

using enum OutputKind;
using enum PrefixRule;
constexpr ArchiveRule kTwo = ArchiveRule::two_letter_extension;
constexpr ArchiveRule kThree = ArchiveRule::three_letter_extension;

// Rows by output kind, columns by format code. An ODT converter runs the SXW converter's body
// and prefix check; the skeleton carries that content into an OpenDocument package.
constexpr ConverterSpec kTable[kOutputKindCount][kFormatCount] = {
    {
        {"any2txt", text, none, kTwo, &any2txt},
        {"wp2txt", text, none, kTwo, &wp2txt},
        {"w512txt", text, wp51, kThree, &w512txt},
        {"wpd2txt", text, wpd, kThree, &wpd2txt},
    },
    {
        {"any2html", html, none, kTwo, &any2html},
        {"wp2html", html, none, kTwo, &wp2html},
        {"w512html", html, wp51, kThree, &w512html},
        {"wpd2html", html, wpd, kThree, &wpd2html},
    },
    {
        {"any2xml", sxw, none, kTwo, &any2xml},
        {"wp2xml", sxw, none, kTwo, &wp2xml},
        {"w512xml", sxw, wp51, kThree, &w512xml},
        {"wpd2xml", sxw, wpd, kThree, &wpd2xml},
    },
    {
        {"any2odt", odt, none, kTwo, &any2xml},
        {"wp2odt", odt, none, kTwo, &wp2xml},
        {"w512odt", odt, wp51, kThree, &w512xml},
        {"wpd2odt", odt, wpd, kThree, &wpd2xml},
    },
};

}  // namespace

const ConverterSpec& converter_for(OutputKind kind, FormatCode format) {
  return kTable[static_cast<int>(kind)][format];
}

}  // namespace quorrel
