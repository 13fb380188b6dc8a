// The main dialog's template: caption, font, size and every control, in dialog units. A front
// end draws the dialog from this table; the shell addresses the controls by their ids.
#pragma once

#include <string_view>

#include "shell/controls.h"

namespace quorrel {

enum class ControlKind {
  default_push_button,
  push_button,
  multiline_edit,  // a display list with a border and a vertical scroll bar
  radio_button,    // auto radio button; the four of them form one group
  check_box,       // auto check box
  group_box,       // a frame with a title; it holds nothing and takes no input
  static_left,     // static text, left aligned
  static_right,    // static text, right aligned
};

struct DialogRect {
  int x, y, width, height;
};

struct ControlTemplate {
  int id;
  ControlKind kind;
  DialogRect rect;
  bool tab_stop;
  bool black_text;  // text coloured black whatever the theme says
  std::string_view text;
};

struct DialogTemplate {
  std::string_view caption;
  std::string_view font_family;
  int font_points;
  DialogRect rect;
};

inline constexpr DialogTemplate kMainDialog = {
    "KVN - Quorrel for WordPerfect, Ver. 4.3, 2002", "Helv", 8, {12, 1, 397, 242}};

// Ids 111, 114 (twice) and 116 have no names of their own. Two controls share 114: a look-up
// by id finds the first, the SXW check box.
inline constexpr int kNoticeId = 111;
inline constexpr int kAddressId = 114;
inline constexpr int kHeadingId = 116;

// In template order, which is also the tab order.
// clang-format off
inline constexpr ControlTemplate kMainDialogControls[] = {
  // id             kind                               x    y    width height  tab    black
  {ID_CONVERT,     ControlKind::default_push_button, {318, 199,  40,  14}, true,  false, "Convert"},
  {ID_CANCEL,      ControlKind::push_button,         {223, 199,  40,  14}, true,  false, "Quit"},
  {ID_FROM_TXT,    ControlKind::multiline_edit,      { 34,  33, 142,  94}, true,  false, ""},
  {ID_TO_TXT,      ControlKind::multiline_edit,      {219,  32, 142,  94}, true,  false, ""},
  {ID_AUTO_RAD,    ControlKind::radio_button,        { 34, 139, 112,  10}, false, false,
   "Auto Detect"},
  {ID_WP_RAD,      ControlKind::radio_button,        { 34, 149, 113,  10}, false, false,
   ".WP Ancient WordPerfect"},
  {ID_W51_RAD,     ControlKind::radio_button,        { 34, 159, 104,  10}, false, false,
   ".W51 Old WordPerfect 5.1"},
  {ID_WPD_RAD,     ControlKind::radio_button,        { 34, 169, 106,  10}, false, false,
   ".WPD WordPerfect 6,7,8,9"},
  {108,            ControlKind::group_box,           { 19,  18, 173, 172}, false, false, "From"},
  {109,            ControlKind::group_box,           {202,  17, 173, 173}, false, false, "To"},
  {ID_FILE_BUT,    ControlKind::push_button,         { 75, 199,  40,  14}, true,  false, "File..."},
  {kNoticeId,      ControlKind::static_left,         {  6, 223, 157,  12}, false, true,
   "Provided as is, without warranty."},
  {ID_TXT_CHECK,   ControlKind::check_box,           {219, 139, 100,  10}, true,  false,
   ".TXT Plain Text"},
  {ID_HTML_CHECK,  ControlKind::check_box,           {219, 149, 100,  10}, true,  false,
   ".HTML Hyper Text"},
  {ID_XML_CHECK,   ControlKind::check_box,           {219, 159, 150,  10}, true,  true,
   ".SXW OpenOffice.org & StarOffice XML"},
  {kAddressId,     ControlKind::static_right,        {243,   6, 148,  12}, false, true,
   "Read more in the README"},
  {kHeadingId,     ControlKind::static_left,         {  6,   6, 200,  12}, false, false,
   "Batch converter for old WordPerfect documents"},
};
// clang-format on

}  // namespace quorrel
