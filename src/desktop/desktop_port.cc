#include "desktop/desktop_port.h"

#include <QAbstractButton>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>

#include "desktop/local_text.h"
#include "output/sxw_package.h"

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
  auto* button = qobject_cast<QAbstractButton*>(dialog_->control(id));
  return button != nullptr && button->isChecked();
}

void DesktopPort::set_checked(int id, bool checked) {
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

bool DesktopPort::pack(const std::string& archive_path, int content_fd) {
  return sxw::pack(archive_path, content_fd);
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
