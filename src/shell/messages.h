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

inline constexpr std::string_view kNotEnoughMemory = "Not enough memory.";

// A file name as it can be shown on one line: unchanged unless it holds a control character
// (a line feed would split a line of standard output or error in two); then in double quotes,
// with C escapes for the control characters, the quote and the backslash.
std::string printable_name(std::string_view name);

// An output whose name reaches the input itself (the same file, by another name or a link).
std::string output_replaces_input_message(std::string_view output);
// A second input of one batch whose output would replace the first one's (same.wp and
// same.wpd both give same.sxw).
std::string output_written_twice_message(std::string_view input, std::string_view output,
                                         std::string_view earlier_input);

inline constexpr std::string_view kNothingSelectedCaption = "Uhmm...";
inline constexpr std::string_view kNothingSelected = "Nothing selected.";

}  // namespace quorrel
