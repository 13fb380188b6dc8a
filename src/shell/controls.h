// Ids of the main dialog's controls; the driver addresses the dialog only through these.
#pragma once

namespace quorrel {

enum ControlId : int {
  ID_CONVERT = 1,  // also the platform's OK: Enter presses it
  ID_CANCEL = 2,   // also the platform's Cancel: Escape presses it
  ID_FROM_TXT = 101,
  ID_TO_TXT = 102,
  ID_FILE_BUT = 110,
  ID_TXT_CHECK = 112,
  ID_HTML_CHECK = 113,
  ID_XML_CHECK = 114,
  ID_AUTO_RAD = 200,
  ID_WP_RAD = 201,
  ID_W51_RAD = 202,
  ID_WPD_RAD = 203,
  // Menu items beside the dialog's controls.
  ID_COMPLETE_ITEM = 300,  // the complete reading instead of the exact one
  ID_ODT_ITEM = 301,       // an OpenDocument Text output besides the chosen ones
};

}  // namespace quorrel
