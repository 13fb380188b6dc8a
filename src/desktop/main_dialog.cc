#include "desktop/main_dialog.h"

#include <QAction>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QMenu>
#include <QDropEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include "desktop/local_text.h"

namespace quorrel {

namespace {
// Between the push buttons (down to 213) and the notice (from 223), across the dialog.
constexpr DialogRect kProgressStrip{6, 214, 385, 8};
}  // namespace

namespace {

// Rounds like the platform's own conversion of dialog units.
int scale(int units, int base, int divisor) { return (2 * units * base + divisor) / (2 * divisor); }

// The local files of a drag, or nothing when it carries anything else.
std::vector<std::string> local_files(const QMimeData& data) {
  std::vector<std::string> paths;
  if (!data.hasUrls()) return paths;
  for (const QUrl& url : data.urls()) {
    if (!url.isLocalFile()) return {};
    paths.push_back(local_file_path(url));
  }
  return paths;
}

// A drop only reads the files' names. Never answer with a move: the file manager would then
// delete the files it dragged.
bool accept_without_moving(QDropEvent* event) {
  if (local_files(*event->mimeData()).empty()) return false;
  for (Qt::DropAction action : {Qt::CopyAction, Qt::LinkAction}) {
    if (event->possibleActions() & action) {
      event->setDropAction(action);
      event->accept();
      return true;
    }
  }
  return false;
}

bool is_enter(const QKeyEvent& key) {
  return (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) &&
         (key.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

}  // namespace

MainDialog::MainDialog(Relay relay) : relay_(std::move(relay)) {
  QFont font(to_qt(kMainDialog.font_family));
  font.setPointSize(kMainDialog.font_points);
  // "Helv" exists only on the platform the dialog was designed for; the sans-serif stands in.
  font.setStyleHint(QFont::SansSerif);
  setFont(font);
  QFontMetrics metrics = fontMetrics();
  base_width_ = (metrics.horizontalAdvance(
                     QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) /
                     26 +
                 1) /
                2;
  base_height_ = metrics.height();

  setWindowTitle(to_qt(kMainDialog.caption));
  QRect frame = to_pixels(kMainDialog.rect);
  setFixedSize(frame.size());
  move(frame.topLeft());
  // Static texts, check boxes and radio buttons draw on the 3-D face colour.
  setBackgroundRole(QPalette::Button);

  for (const ControlTemplate& control : kMainDialogControls) {
    controls_.emplace_back(control.id, add_control(control));
  }

  menu_ = new QMenu(this);
  complete_item_ = menu_->addAction(
      QStringLiteral("Complete reading (all text, every character, Unicode outputs)"));
  complete_item_->setCheckable(true);
  complete_item_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
  complete_item_->setShortcutContext(Qt::WindowShortcut);
  addAction(complete_item_);  // the shortcut works without opening the menu
  odt_item_ = menu_->addAction(QStringLiteral("Also write ODT (.odt)"));
  odt_item_->setCheckable(true);

  progress_ = new QLabel(this);
  progress_->setTextFormat(Qt::PlainText);
  progress_->setGeometry(to_pixels(kProgressStrip));
  progress_->setFocusPolicy(Qt::NoFocus);
  progress_->hide();
}

void MainDialog::set_progress(const QString& text) {
  progress_->setText(text);
  progress_->setVisible(!text.isEmpty());
}

QAction* MainDialog::menu_item(int id) const {
  switch (id) {
    case ID_COMPLETE_ITEM:
      return complete_item_;
    case ID_ODT_ITEM:
      return odt_item_;
    default:
      return nullptr;
  }
}

void MainDialog::contextMenuEvent(QContextMenuEvent* event) { menu_->exec(event->globalPos()); }

QWidget* MainDialog::add_control(const ControlTemplate& control) {
  QWidget* widget = nullptr;
  switch (control.kind) {
    case ControlKind::default_push_button:
    case ControlKind::push_button: {
      auto* button = new QPushButton(with_literal_ampersands(control.text), this);
      if (control.kind == ControlKind::default_push_button) {
        button->setDefault(true);
        default_button_ = button;
      }
      widget = button;
      break;
    }
    case ControlKind::multiline_edit: {
      auto* edit = new QPlainTextEdit(to_qt(control.text), this);
      edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
      edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
      // Tab moves on and Enter presses the default button, as in a dialog's edit control.
      edit->setTabChangesFocus(true);
      edit->installEventFilter(this);
      // Files dropped on a list go to the dialog, not into the text.
      edit->setAcceptDrops(false);
      edit->viewport()->setAcceptDrops(false);
      widget = edit;
      break;
    }
    case ControlKind::radio_button:
      widget = new QRadioButton(with_literal_ampersands(control.text), this);
      break;
    case ControlKind::check_box:
      widget = new QCheckBox(with_literal_ampersands(control.text), this);
      break;
    case ControlKind::group_box: {
      auto* group = new QGroupBox(with_literal_ampersands(control.text), this);
      // Only a frame: it lies beneath the controls it surrounds and takes no clicks.
      group->setAttribute(Qt::WA_TransparentForMouseEvents);
      group->lower();
      widget = group;
      break;
    }
    case ControlKind::static_left:
    case ControlKind::static_right: {
      auto* label = new QLabel(to_qt(control.text), this);
      label->setTextFormat(Qt::PlainText);
      label->setWordWrap(true);
      label->setAlignment(
          Qt::AlignTop |
          (control.kind == ControlKind::static_left ? Qt::AlignLeft : Qt::AlignRight));
      widget = label;
      break;
    }
  }
  widget->setGeometry(to_pixels(control.rect));
  if (!control.tab_stop) {
    widget->setFocusPolicy(control.kind == ControlKind::radio_button ? Qt::ClickFocus
                                                                     : Qt::NoFocus);
  }
  if (control.black_text) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, Qt::black);
    palette.setColor(QPalette::ButtonText, Qt::black);
    widget->setPalette(palette);
  }
  if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    int id = control.id;
    connect(button, &QAbstractButton::clicked, this, [this, id] { relay_(Command{id}); });
  }
  return widget;
}

QWidget* MainDialog::control(int id) const {
  for (const auto& [control_id, widget] : controls_) {
    if (control_id == id) return widget;
  }
  return nullptr;
}

QRect MainDialog::to_pixels(const DialogRect& rect) const {
  return QRect(scale(rect.x, base_width_, 4), scale(rect.y, base_height_, 8),
               scale(rect.width, base_width_, 4), scale(rect.height, base_height_, 8));
}

void MainDialog::reject() { relay_(CloseRequest{}); }

void MainDialog::keyPressEvent(QKeyEvent* event) {
  // Escape is the platform's Cancel, which is the Quit button's id.
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    relay_(Command{ID_CANCEL});
    return;
  }
  QDialog::keyPressEvent(event);  // Enter presses the default button
}

bool MainDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && is_enter(*static_cast<QKeyEvent*>(event))) {
    default_button_->click();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void MainDialog::dragEnterEvent(QDragEnterEvent* event) { accept_without_moving(event); }

void MainDialog::dragMoveEvent(QDragMoveEvent* event) { accept_without_moving(event); }

void MainDialog::dropEvent(QDropEvent* event) {
  if (!accept_without_moving(event)) return;
  relay_(FilesDropped{local_files(*event->mimeData())});
}

}  // namespace quorrel
