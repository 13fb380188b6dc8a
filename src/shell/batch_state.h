// What the dialog has selected and the Convert command works through.
#pragma once

#include <cstddef>
#include <string>

namespace quorrel {

// Text lists hold names each followed by CR LF, as the dialog shows them.
inline constexpr std::size_t kListCapacity = 64000;

struct BatchState {
  int fileflag = 0;          // a list is loaded and not yet converted
  std::string filelist;      // bare names, each followed by CR LF; consumed from the end
  std::string filepath;      // the folder of every listed name
  std::string filename;      // bare name of the current input
  std::string filepathname;  // filepath, a separator, filename

  // Option flags, copied from the dialog at the start of each batch.
  int txtflag = 0, htmlflag = 0, xmlflag = 0;
  int autoflag = 0, wpflag = 0, w51flag = 0, wpdflag = 0;
  int completeflag = 0;  // the complete reading
  int odtflag = 0;       // an ODT output too

  // While a batch runs the dialog still takes input: Quit and Escape stop the batch after the
  // files being converted, the close box also ends the dialog then; nothing else is done.
  bool running = false;
  bool stop_requested = false;
  bool close_requested = false;
};

inline constexpr char kPathSeparator = '/';

// Moves the last name of the list into filename and filepathname; 0 when the list is empty.
int getfilename(BatchState& batch);

}  // namespace quorrel
