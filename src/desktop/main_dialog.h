// The main dialog drawn with Qt widgets from the dialog template. It only draws and relays:
// button presses, Enter, Escape, the close box and dropped files go to the shell as messages.
#pragma once

#include <QDialog>
#include <functional>
#include <utility>
#include <vector>

#include "shell/dialog.h"
#include "shell/dialog_template.h"

class QAction;
class QLabel;
class QMenu;
class QPushButton;

namespace quorrel {

class MainDialog final : public QDialog {
 public:
  using Relay = std::function<void(const DialogMessage&)>;

  explicit MainDialog(Relay relay);

  // The first control with this id in template order (for 114 the SXW check box); null when
  // there is none.
  QWidget* control(int id) const;
  // A checkable item of the dialog's menu (ID_COMPLETE_ITEM, ID_ODT_ITEM); null for any other
  // id.
  QAction* menu_item(int id) const;
  QMenu* menu() const { return menu_; }
  // The line under the buttons where a batch shows how far it has come: outside every control,
  // so that showing it moves nothing. Hidden while empty.
  void set_progress(const QString& text);
  QLabel* progress() const { return progress_; }

  // Every control with its id, in template order.
  const std::vector<std::pair<int, QWidget*>>& controls() const { return controls_; }

  // Pixels for dialog units: horizontally a quarter of the dialog font's average character
  // width per unit, vertically an eighth of its character height.
  QRect to_pixels(const DialogRect& rect) const;

  // Escape and the close box both come here; Escape is taken earlier as the Quit command.
  void reject() override;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  QWidget* add_control(const ControlTemplate& control);

  Relay relay_;
  int base_width_ = 0;                              // pixels per four horizontal units
  int base_height_ = 0;                             // pixels per eight vertical units
  std::vector<std::pair<int, QWidget*>> controls_;  // in template order; the dialog owns them
  QPushButton* default_button_ = nullptr;
  // Options beyond the dialog's controls live in a context menu, so that no control moves.
  QMenu* menu_ = nullptr;
  QAction* complete_item_ = nullptr;
  QAction* odt_item_ = nullptr;
  QLabel* progress_ = nullptr;
};

}  // namespace quorrel
