// The Convert command: every listed file into every chosen output kind.
#pragma once

#include "output/skeleton.h"
#include "shell/batch_state.h"
#include "shell/port.h"

namespace quorrel {

void DlgConvertSelected(BatchState& batch, Port& port);
// The same as one part of a longer run (the command line's files, one folder at a time):
// `written` holds the outputs of the run so far, which no later input may replace.
void convert_selected(BatchState& batch, Port& port, OutputsWritten& written);

}  // namespace quorrel
