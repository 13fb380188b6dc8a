// Every text the system shows in a message box, in one place.
#pragma once

#include <string>
#include <string_view>

namespace quorrel {

inline constexpr std::string_view kFileIoErrorCaption = "File I/O Error!";
inline constexpr std::string_view kUnableToOpenFiles = "Unable to open files.";
inline constexpr std::string_view kUnableToOpenFile = "Unable to open file.";  // identification
inline constexpr std::string_view kUnableToReadFiles = "Unable to read files.";
inline constexpr std::string_view kUnableToWriteFiles = "Unable to write files.";
// A carriage return would split the name in the CR LF list.
inline constexpr std::string_view kCarriageReturnInName =
    "A file name with a carriage return cannot be converted.";
// The list holds one folder for all its names.
inline constexpr std::string_view kFilesInSeveralFolders =
    "The files are in different folders. Please choose files from one folder at a time.";

// An output this batch already wrote for an earlier file is left as it is; the names follow.
inline constexpr std::string_view kWrittenBefore = "Already written in this batch: ";
// An output that would replace the very file being converted.
inline constexpr std::string_view kReplacesInput = "The output would replace its own input: ";

inline constexpr std::string_view kNothingSelectedCaption = "Uhmm...";
inline constexpr std::string_view kNothingSelected = "Nothing selected.";

}  // namespace quorrel
