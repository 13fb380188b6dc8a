// The Convert command: every listed file into every chosen output kind.
#pragma once

#include "shell/batch_state.h"
#include "shell/port.h"

namespace quorrel {

void DlgConvertSelected(BatchState& batch, Port& port);

}  // namespace quorrel
