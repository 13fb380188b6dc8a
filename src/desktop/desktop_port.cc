#include "desktop/desktop_port.h"

#include <QAbstractButton>
#include <QAction>
#include <QCoreApplication>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>

#include "desktop/local_text.h"

namespace quorrel {

DesktopPort::DesktopPort(BatchState& batch)
    : batch_(batch), dialog_(std::make_unique<MainDialog>([this](const DialogMessage& message) {
        DialogFunc(batch_, *this, message);
      })) {}

DesktopPort::~DesktopPort() = default;

void DesktopPort::initialize() { DialogFunc(batch_, *this, InitDialog{}); }

void DesktopPort::open_files(const std::vector<std::string>& paths) {
  if (!paths.empty()) DialogFunc(batch_, *this, FilesDropped{paths});
}

int DesktopPort::run(const std::vector<std::string>& opened_files) {
  initialize();
  open_files(opened_files);
  return dialog_->exec();
}

void DesktopPort::set_control_text(int id, std::string_view text) {
  QWidget* control = dialog_->control(id);
  if (auto* edit = qobject_cast<QPlainTextEdit*>(control)) {
    edit->setPlainText(to_qt(text));
  } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
    button->setText(with_literal_ampersands(text));
  } else if (auto* group = qobject_cast<QGroupBox*>(control)) {
    group->setTitle(with_literal_ampersands(text));
  } else if (auto* label = qobject_cast<QLabel*>(control)) {
    label->setText(to_qt(text));
  }
}

std::string DesktopPort::control_text(int id, std::size_t max_length) {
  QWidget* control = dialog_->control(id);
  std::string text;
  if (auto* edit = qobject_cast<QPlainTextEdit*>(control)) {
    text = to_bytes(edit->toPlainText().replace(QLatin1Char('\n'), QLatin1String("\r\n")));
  } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
    text = without_literal_ampersands(button->text());
  } else if (auto* group = qobject_cast<QGroupBox*>(control)) {
    text = without_literal_ampersands(group->title());
  } else if (auto* label = qobject_cast<QLabel*>(control)) {
    text = to_bytes(label->text());
  }
  if (text.size() > max_length) text.resize(max_length);
  return text;
}

bool DesktopPort::is_checked(int id) {
  if (QAction* item = dialog_->menu_item(id)) return item->isChecked();
  auto* button = qobject_cast<QAbstractButton*>(dialog_->control(id));
  return button != nullptr && button->isChecked();
}

void DesktopPort::set_checked(int id, bool checked) {
  if (QAction* item = dialog_->menu_item(id)) item->setChecked(checked);
  if (auto* button = qobject_cast<QAbstractButton*>(dialog_->control(id))) {
    button->setChecked(checked);
  }
}

void DesktopPort::check_radio_button(int first, int last, int id) {
  for (int each = first; each <= last; ++each) {
    auto* button = qobject_cast<QAbstractButton*>(dialog_->control(each));
    if (button == nullptr) continue;
    // An exclusive button refuses to be cleared directly; this clears it whatever `id` is.
    bool exclusive = button->autoExclusive();
    button->setAutoExclusive(false);
    button->setChecked(each == id);
    button->setAutoExclusive(exclusive);
  }
}

void DesktopPort::accept_dropped_files(bool accept) { dialog_->setAcceptDrops(accept); }

void DesktopPort::end_dialog(int result) { dialog_->done(result); }

void DesktopPort::message_box(std::string_view text, std::string_view caption) {
  QMessageBox box(QMessageBox::NoIcon, to_qt(caption), to_qt(text), QMessageBox::Ok);
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

void DesktopPort::append_line(int id, std::string_view line, std::size_t capacity) {
  auto* edit = qobject_cast<QPlainTextEdit*>(dialog_->control(id));
  if (edit == nullptr) {
    Port::append_line(id, line, capacity);
    return;
  }
  QTextDocument* document = edit->document();
  // The shell counts CR LF line ends where the edit keeps one separator per line, and one more
  // after the last.
  auto length = [&] {
    return static_cast<std::size_t>(document->characterCount() + document->blockCount() - 2);
  };
  bool was_empty = document->isEmpty();
  QTextCursor end(document);
  end.movePosition(QTextCursor::End);
  // An edit whose text ends with a line end holds an empty last line: write into it.
  if (!was_empty && !end.block().text().isEmpty()) end.insertBlock();
  end.insertText(to_qt(line));
  end.insertBlock();
  while (length() >= capacity && document->blockCount() > 2) {
    QTextCursor first(document);
    first.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor);
    first.removeSelectedText();
  }
  edit->verticalScrollBar()->setValue(edit->verticalScrollBar()->maximum());
}

void DesktopPort::process_events() {
  // Often enough to repaint and take a key press, seldom enough to cost nothing per file.
  if (since_events_.isValid() && since_events_.elapsed() < 40) return;
  QCoreApplication::processEvents();
  since_events_.start();
}

void DesktopPort::show_progress(std::string_view text) {
  dialog_->set_progress(to_qt(text));
}

std::vector<std::string> DesktopPort::choose_files(std::string_view title,
                                                   std::string_view filter_label,
                                                   std::string_view filter_pattern) {
  QFileDialog chooser(nullptr, to_qt(title));
  chooser.setAcceptMode(QFileDialog::AcceptOpen);
  chooser.setFileMode(QFileDialog::ExistingFiles);
  // Qt reads a filter's patterns from its last parentheses; with their details hidden only
  // the label shows, even where the label carries parentheses of its own.
  chooser.setNameFilter(to_qt(filter_label) + QStringLiteral(" (") + to_qt(filter_pattern) +
                        QStringLiteral(")"));
  chooser.setOption(QFileDialog::HideNameFilterDetails);
  std::vector<std::string> paths;
  if (chooser.exec() != QDialog::Accepted) return paths;
  for (const QString& file : chooser.selectedFiles()) paths.push_back(to_bytes(file));
  return paths;
}

}  // namespace quorrel
