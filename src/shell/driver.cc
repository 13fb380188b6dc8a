#include "shell/driver.h"

#include <string_view>

#include "convert/registry.h"
#include "output/skeleton.h"
#include "recognition/identify.h"
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

struct OutputStep {
  OutputKind kind;
  int BatchState::*flag;
  std::string_view extension;
};

constexpr OutputStep kOutputSteps[] = {
    {OutputKind::text, &BatchState::txtflag, ".txt"},
    {OutputKind::html, &BatchState::htmlflag, ".html"},
    {OutputKind::sxw, &BatchState::xmlflag, ".sxw"},
};

// Appends one line to the To box. The box keeps its newest lines: when it would outgrow the
// list capacity, the oldest lines go first, never the entry being added.
void add_result_entry(BatchState& batch, Port& port, std::string_view entry) {
  batch.resultlist = port.control_text(ID_TO_TXT, kListCapacity);
  batch.resultlist.append(entry);
  batch.resultlist.append("\r\n");
  while (batch.resultlist.size() >= kListCapacity) {
    std::size_t line_end = batch.resultlist.find("\r\n");
    if (line_end + 2 >= batch.resultlist.size()) break;
    batch.resultlist.erase(0, line_end + 2);
  }
  port.set_control_text(ID_TO_TXT, batch.resultlist);
}

FormatCode chosen_format(const BatchState& batch, Port& port) {
  if (batch.wpflag) return TYPE_WP;
  if (batch.w51flag) return TYPE_W51;
  if (batch.wpdflag) return TYPE_WPD;
  return identify_file(batch.filepathname, port);
}

}  // namespace

void DlgConvertSelected(BatchState& batch, Port& port) {
  OutputsWritten written;
  convert_selected(batch, port, written);
}

void convert_selected(BatchState& batch, Port& port, OutputsWritten& written) {
  if (batch.fileflag == 0) return;
  batch.resultlist.clear();
  port.set_control_text(ID_TO_TXT, "");

  batch.txtflag = port.is_checked(ID_TXT_CHECK) ? 1 : 0;
  batch.htmlflag = port.is_checked(ID_HTML_CHECK) ? 1 : 0;
  batch.xmlflag = port.is_checked(ID_XML_CHECK) ? 1 : 0;
  batch.autoflag = port.is_checked(ID_AUTO_RAD) ? 1 : 0;
  batch.wpflag = port.is_checked(ID_WP_RAD) ? 1 : 0;
  batch.w51flag = port.is_checked(ID_W51_RAD) ? 1 : 0;
  batch.wpdflag = port.is_checked(ID_WPD_RAD) ? 1 : 0;

  bool any_output = batch.txtflag || batch.htmlflag || batch.xmlflag;
  bool any_input = batch.autoflag || batch.wpflag || batch.w51flag || batch.wpdflag;
  if (!any_output || !any_input) {
    port.message_box(kNothingSelected, kNothingSelectedCaption);
    return;
  }

  // Drop the line end after the last name.
  std::size_t last_cr = batch.filelist.rfind('\r');
  if (last_cr != std::string::npos) batch.filelist.resize(last_cr);

  while (getfilename(batch)) {
    for (const OutputStep& step : kOutputSteps) {
      if (!(batch.*step.flag)) continue;
      add_result_entry(batch, port, batch.filename + std::string(step.extension));
      // Under Auto Detect every output kind identifies the file afresh.
      const ConverterSpec& converter = converter_for(step.kind, chosen_format(batch, port));
      run_converter(converter, batch, port, written);
    }
  }

  port.set_control_text(ID_FROM_TXT, "");
  batch.fileflag = 0;
}

}  // namespace quorrel
