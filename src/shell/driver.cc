#include "shell/driver.h"

#include <string_view>

#include "batch/engine.h"
#include "recognition/prefix.h"
#include "shell/controls.h"
#include "shell/messages.h"

namespace quorrel {

int getfilename(BatchState& batch) {
  if (batch.filelist.empty()) return 0;
  std::string name;
  std::size_t cr = batch.filelist.rfind('\r');
  if (cr != std::string::npos) {
    // The name starts past the CR and its LF.
    if (cr + 2 < batch.filelist.size()) name = batch.filelist.substr(cr + 2);
    batch.filelist.resize(cr);
  } else {
    name = std::move(batch.filelist);
    batch.filelist.clear();
  }
  batch.filepathname = batch.filepath + kPathSeparator + name;
  batch.filename = std::move(name);
  return 1;
}

namespace {

std::string_view entry_extension(OutputKind kind) {
  switch (kind) {
    case OutputKind::text:
      return ".txt";
    case OutputKind::html:
      return ".html";
    case OutputKind::sxw:
      return ".sxw";
    case OutputKind::odt:
      return ".odt";
  }
  return "";
}

std::string files_done_text(std::size_t done, std::size_t total) {
  return std::to_string(done) + " of " + std::to_string(total) + " files";
}

// The dialog's view of a batch: each output started is an entry in the To box (the input's
// name with the kind's extension, whatever the output is really called), each failure one or
// two message boxes as the converters always showed them.
class DialogReporter final : public batch::Reporter {
 public:
  DialogReporter(BatchState& batch, Port& port, std::size_t total)
      : batch_(batch), port_(port), total_(total) {}

  void output_started(const batch::FileJob& job, const batch::FileOutcome&,
                      const batch::OutputOutcome& output) override {
    std::string entry = job.title;
    entry += entry_extension(output.kind);
    port_.append_line(ID_TO_TXT, entry, kListCapacity);
  }

  void output_failed(const batch::FileJob& job, const batch::FileOutcome& file,
                     const batch::OutputOutcome& output) override {
    using batch::Failure;
    switch (output.failure) {
      case Failure::none:
        break;
      case Failure::open_input:
        // Auto Detect tried to open the file first, then the converter did.
        if (file.detected) show(kUnableToOpenFile);
        show(kUnableToOpenFiles);
        break;
      case Failure::prefix_mismatch:
        show(output.prefix == PrefixRule::wp51 ? kNotWp51Message : kNotWpdMessage);
        break;
      case Failure::open_output:
        show(kUnableToOpenFiles);
        break;
      case Failure::read_error:
        show(kUnableToReadFiles);
        break;
      case Failure::write_error:
        show(kUnableToWriteFiles);
        break;
      case Failure::written_before:
        show(std::string(kWrittenBefore) + output.path + " (" + output.earlier_input + ", " +
             job.input + ")");
        break;
      case Failure::replaces_input:
        show(std::string(kReplacesInput) + output.path);
        break;
      case Failure::not_read:
        // The document's problem once, however many outputs it cost.
        if (problem_shown_for_ != file.index + 1 || shown_problem_ != output.message) {
          show(output.message);
        }
        problem_shown_for_ = file.index + 1;
        shown_problem_ = output.message;
        break;
    }
  }

  void file_finished(const batch::FileJob&, const batch::FileOutcome& file) override {
    // A damaged document: its outputs hold what could be read, and the user is told.
    if (!file.problem.empty() && problem_shown_for_ != file.index + 1) {
      show(file.problem);
      problem_shown_for_ = file.index + 1;
    }
    ++done_;
    port_.show_progress(files_done_text(done_, total_));
  }

  bool keep_going() override {
    port_.process_events();
    return !batch_.stop_requested;
  }

 private:
  void show(std::string_view text) { port_.message_box(text, kFileIoErrorCaption); }

  BatchState& batch_;
  Port& port_;
  std::size_t total_;
  std::size_t done_ = 0;
  std::size_t problem_shown_for_ = 0;  // index + 1 of the file whose problem was shown
  std::string shown_problem_;
};

}  // namespace

void DlgConvertSelected(BatchState& batch, Port& port) {
  if (batch.fileflag == 0 || batch.running) return;
  port.set_control_text(ID_TO_TXT, "");

  batch.txtflag = port.is_checked(ID_TXT_CHECK) ? 1 : 0;
  batch.htmlflag = port.is_checked(ID_HTML_CHECK) ? 1 : 0;
  batch.xmlflag = port.is_checked(ID_XML_CHECK) ? 1 : 0;
  batch.autoflag = port.is_checked(ID_AUTO_RAD) ? 1 : 0;
  batch.wpflag = port.is_checked(ID_WP_RAD) ? 1 : 0;
  batch.w51flag = port.is_checked(ID_W51_RAD) ? 1 : 0;
  batch.wpdflag = port.is_checked(ID_WPD_RAD) ? 1 : 0;
  batch.completeflag = port.is_checked(ID_COMPLETE_ITEM) ? 1 : 0;
  batch.odtflag = port.is_checked(ID_ODT_ITEM) ? 1 : 0;

  bool any_output = batch.txtflag || batch.htmlflag || batch.xmlflag || batch.odtflag;
  bool any_input = batch.autoflag || batch.wpflag || batch.w51flag || batch.wpdflag;
  if (!any_output || !any_input) {
    port.message_box(kNothingSelected, kNothingSelectedCaption);
    return;
  }

  batch::Request request;
  if (batch.txtflag) request.outputs.push_back(OutputKind::text);
  if (batch.htmlflag) request.outputs.push_back(OutputKind::html);
  if (batch.xmlflag) request.outputs.push_back(OutputKind::sxw);
  if (batch.odtflag) request.outputs.push_back(OutputKind::odt);
  if (batch.completeflag) request.reading = batch::Reading::complete;
  // Forcing skips identification entirely.
  if (batch.wpflag) {
    request.generation = TYPE_WP;
  } else if (batch.w51flag) {
    request.generation = TYPE_W51;
  } else if (batch.wpdflag) {
    request.generation = TYPE_WPD;
  }

  // Drop the line end after the last name; the names are then taken from the end.
  std::size_t last_cr = batch.filelist.rfind('\r');
  if (last_cr != std::string::npos) batch.filelist.resize(last_cr);
  while (getfilename(batch)) {
    request.files.push_back({batch.filepathname, batch.filepathname, batch.filename});
  }
  // Files convert on other threads, so that the dialog repaints and takes Quit meanwhile.
  request.jobs = batch::usable_processors();
  request.keep_caller_free = true;

  batch.running = true;
  batch.stop_requested = false;
  DialogReporter reporter(batch, port, request.files.size());
  batch::Summary summary = batch::run(request, reporter);
  batch.running = false;

  if (summary.stopped) {
    port.show_progress("Stopped after " +
                       files_done_text(summary.files_done, request.files.size()));
  } else {
    port.show_progress("");
  }
  port.set_control_text(ID_FROM_TXT, "");
  batch.fileflag = 0;
  if (batch.close_requested) port.end_dialog(0);
}

}  // namespace quorrel
