// The desktop dialog driven as a user drives it: clicks, keys, drops and file choices, on
// Qt's offscreen platform. Message boxes and the file chooser are replaced through the port,
// except in the tests of those two themselves.
#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <map>
#include <memory>

#include "desktop/desktop_port.h"
#include "example_documents.h"
#include "shell/controls.h"
#include "shell/dialog_template.h"
#include "test_support.h"

namespace quorrel {
namespace {

struct Shown {
  std::string text, caption;
  bool operator==(const Shown&) const = default;
};

class RecordingPort : public DesktopPort {
 public:
  using DesktopPort::DesktopPort;
  void message_box(std::string_view text, std::string_view caption) override {
    messages.push_back({std::string(text), std::string(caption)});
  }
  std::vector<std::string> choose_files(std::string_view title, std::string_view filter_label,
                                        std::string_view filter_pattern) override {
    ++chooser_calls;
    if (real_chooser) return DesktopPort::choose_files(title, filter_label, filter_pattern);
    return chosen;
  }

  std::vector<Shown> messages;
  std::vector<std::string> chosen;
  bool real_chooser = false;
  int chooser_calls = 0;
};

// Calls `answer` with the first modal window other than `owner` once it is shown. A window
// the answer leaves open is rejected, so that a failing test cannot hang.
void answer_modal(QWidget* owner, std::function<void(QWidget*)> answer) {
  auto* poll = new QTimer(owner);
  QObject::connect(poll, &QTimer::timeout, [poll, owner, answer] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || modal == owner) return;
    poll->stop();
    answer(modal);
    auto* dialog = qobject_cast<QDialog*>(modal);
    if (dialog != nullptr && dialog->isVisible()) dialog->reject();
  });
  poll->start(20);
}

const std::map<ControlKind, const char*> kWidgetClass = {
    {ControlKind::default_push_button, "QPushButton"},
    {ControlKind::push_button, "QPushButton"},
    {ControlKind::multiline_edit, "QPlainTextEdit"},
    {ControlKind::radio_button, "QRadioButton"},
    {ControlKind::check_box, "QCheckBox"},
    {ControlKind::group_box, "QGroupBox"},
    {ControlKind::static_left, "QLabel"},
    {ControlKind::static_right, "QLabel"},
};

std::string wpd(const std::string& words) { return examples::WpdBuilder().text(words).file(); }

}  // namespace

class DesktopTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<BatchState> batch_;
  std::unique_ptr<RecordingPort> port_;
  std::unique_ptr<testing::TempDir> dir_;

  MainDialog& dialog() { return port_->dialog(); }
  QAbstractButton* button(int id) { return qobject_cast<QAbstractButton*>(dialog().control(id)); }
  QPlainTextEdit* edit(int id) { return qobject_cast<QPlainTextEdit*>(dialog().control(id)); }
  std::string text(int id) { return port_->control_text(id, std::string::npos); }
  std::string file(const std::string& name, const std::string& words) {
    std::string path = dir_->file(name);
    testing::write_file(path, wpd(words));
    return path;
  }
  // Text outputs only: the other kinds are not the dialog's business.
  void choose_text_output() {
    if (!button(ID_TXT_CHECK)->isChecked()) QTest::mouseClick(button(ID_TXT_CHECK), Qt::LeftButton);
    if (button(ID_XML_CHECK)->isChecked()) QTest::mouseClick(button(ID_XML_CHECK), Qt::LeftButton);
  }
  // Drops the way a file manager does; returns whether the drag was accepted on entering.
  bool drop(const QByteArray& uri_list, Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction) {
    QMimeData data;
    data.setData(QStringLiteral("text/uri-list"), uri_list);
    QPoint centre = dialog().rect().center();
    QDragEnterEvent enter(centre, actions, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&dialog(), &enter);
    if (!enter.isAccepted()) return false;
    if (enter.dropAction() == Qt::MoveAction) return false;
    QDropEvent dropped(centre, actions, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&dialog(), &dropped);
    return dropped.isAccepted() && dropped.dropAction() != Qt::MoveAction;
  }
  bool drop(const std::vector<std::string>& paths) {
    QByteArray uri_list;
    for (const std::string& path : paths) {
      uri_list += "file://" + QByteArray::fromStdString(path).toPercentEncoding("/") + "\r\n";
    }
    return drop(uri_list);
  }

 private slots:
  void init() {
    batch_ = std::make_unique<BatchState>();
    port_ = std::make_unique<RecordingPort>(*batch_);
    dir_ = std::make_unique<testing::TempDir>();
    port_->initialize();
    dialog().show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog()));
  }
  void cleanup() {
    port_.reset();
    dir_.reset();
  }

  void freshStartShowsTheDefaults() {
    QCOMPARE(dialog().windowTitle(),
             QStringLiteral("KVN - Quorrel for WordPerfect, Ver. 4.3, 2002"));
    QVERIFY(button(ID_AUTO_RAD)->isChecked());
    for (int id : {ID_WP_RAD, ID_W51_RAD, ID_WPD_RAD, ID_TXT_CHECK, ID_HTML_CHECK}) {
      QVERIFY2(!button(id)->isChecked(), qPrintable(QString::number(id)));
    }
    QVERIFY(qobject_cast<QCheckBox*>(dialog().control(ID_XML_CHECK))->isChecked());
    QVERIFY(dialog().acceptDrops());
    QCOMPARE(text(ID_FROM_TXT), std::string());
    QCOMPARE(text(ID_TO_TXT), std::string());
    QVERIFY(qobject_cast<QPushButton*>(dialog().control(ID_CONVERT))->isDefault());
  }

  void controlsFollowTheTemplate() {
    QFontMetrics metrics(dialog().font());
    QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    int across = (metrics.horizontalAdvance(letters) / 26 + 1) / 2;
    int down = metrics.height();
    auto pixels = [&](int units, int base, int divisor) {
      return (2 * units * base + divisor) / (2 * divisor);
    };
    QCOMPARE(dialog().size(), QSize(pixels(397, across, 4), pixels(242, down, 8)));
    QCOMPARE(dialog().font().pointSize(), 8);

    const auto& controls = dialog().controls();
    QCOMPARE(controls.size(), std::size(kMainDialogControls));
    for (std::size_t i = 0; i < controls.size(); ++i) {
      const ControlTemplate& expected = kMainDialogControls[i];
      auto [id, widget] = controls[i];
      QCOMPARE(id, expected.id);
      QCOMPARE(widget->parentWidget(), &dialog());
      QRect rect(pixels(expected.rect.x, across, 4), pixels(expected.rect.y, down, 8),
                 pixels(expected.rect.width, across, 4), pixels(expected.rect.height, down, 8));
      QCOMPARE(widget->geometry(), rect);
      // Every text reads back exactly as written, "&" included.
      if (expected.kind != ControlKind::static_right) {
        QCOMPARE(text(id), std::string(expected.text));
      }
      QVERIFY2(widget->inherits(kWidgetClass.at(expected.kind)), qPrintable(QString::number(id)));
      if (expected.black_text) {
        QCOMPARE(widget->palette().color(QPalette::WindowText), QColor(Qt::black));
      }
    }
    // The SXW box is found by id and shows its "&" instead of taking it as a shortcut.
    auto* sxw = qobject_cast<QCheckBox*>(dialog().control(ID_XML_CHECK));
    QVERIFY(sxw != nullptr);
    QVERIFY(sxw->shortcut().isEmpty());
    auto* address = qobject_cast<QLabel*>(controls[15].second);
    QVERIFY(address != nullptr);
    QVERIFY(address->alignment() & Qt::AlignRight);
  }

  void filesNamedAtStartUpAreListedLikeADrop() {
    std::string first = file("a.wpd", "first"), second = file("b.wpd", "second");
    port_->open_files({first, second});
    QCOMPARE(text(ID_FROM_TXT), std::string("b.wpd\r\na.wpd\r\n"));
    choose_text_output();
    QTest::mouseClick(button(ID_CONVERT), Qt::LeftButton);
    QCOMPARE(text(ID_TO_TXT), std::string("a.wpd.txt\r\nb.wpd.txt\r\n"));
    QCOMPARE(testing::read_file(first + ".txt"), std::string("first"));
  }

  void convertWithoutListDoesNothing() {
    port_->set_control_text(ID_TO_TXT, "earlier\r\n");
    port_->set_checked(ID_XML_CHECK, false);  // not even "Nothing selected."
    QTest::mouseClick(button(ID_CONVERT), Qt::LeftButton);
    QVERIFY(port_->messages.empty());
    QCOMPARE(text(ID_TO_TXT), std::string("earlier\r\n"));
    QVERIFY(dialog().isVisible());
  }

  void nothingSelectedKeepsTheList() {
    QVERIFY(drop({file("memo.wpd", "memo")}));
    QTest::mouseClick(button(ID_XML_CHECK), Qt::LeftButton);  // no output kind left
    QTest::mouseClick(button(ID_CONVERT), Qt::LeftButton);
    QCOMPARE(port_->messages, (std::vector<Shown>{{"Nothing selected.", "Uhmm..."}}));
    QCOMPARE(text(ID_FROM_TXT), std::string("memo.wpd\r\n"));
    QCOMPARE(batch_->fileflag, 1);
    QVERIFY(!testing::exists(dir_->file("memo.wpd.txt")));
  }

  void droppedFilesConvertInDropOrder() {
    std::vector<std::string> paths = {file("one.wpd", "first"), file("two.wpd", "second"),
                                      file("three.wpd", "third")};
    QVERIFY(drop(paths));
    QCOMPARE(edit(ID_FROM_TXT)->toPlainText(), QStringLiteral("three.wpd\ntwo.wpd\none.wpd\n"));
    choose_text_output();
    QTest::mouseClick(button(ID_CONVERT), Qt::LeftButton);
    QVERIFY(port_->messages.empty());
    QCOMPARE(text(ID_TO_TXT), std::string("one.wpd.txt\r\ntwo.wpd.txt\r\nthree.wpd.txt\r\n"));
    QCOMPARE(edit(ID_TO_TXT)->toPlainText(),
             QStringLiteral("one.wpd.txt\ntwo.wpd.txt\nthree.wpd.txt\n"));
    QCOMPARE(testing::read_file(paths[0] + ".txt"), std::string("first"));
    QCOMPARE(testing::read_file(paths[2] + ".txt"), std::string("third"));
    QCOMPARE(text(ID_FROM_TXT), std::string());
  }

  void escapeDuringABatchStopsItSayingSoWithoutMovingAControl() {
    std::vector<QRect> before;
    for (const auto& [id, widget] : dialog().controls()) before.push_back(widget->geometry());
    std::vector<std::string> paths;
    for (int i = 0; i < 400; ++i) paths.push_back(file("f" + std::to_string(i) + ".wpd", "words"));
    QVERIFY(drop(paths));
    choose_text_output();
    // Pressed while the first files convert: the dialog takes keys during a batch.
    QTimer::singleShot(0, &dialog(), [this] { QTest::keyClick(&dialog(), Qt::Key_Escape); });
    QTest::mouseClick(button(ID_CONVERT), Qt::LeftButton);
    QVERIFY(dialog().isVisible());  // Escape stopped the batch, not the program
    QVERIFY(dialog().progress()->isVisible());
    QVERIFY(dialog().progress()->text().startsWith(QStringLiteral("Stopped after ")));
    std::size_t outputs = testing::list_folder(dir_->path()).size() - paths.size();
    QVERIFY(outputs >= 1 && outputs < paths.size());
    // Every output written is listed, and nothing else.
    QCOMPARE(static_cast<std::size_t>(edit(ID_TO_TXT)->document()->blockCount() - 1), outputs);
    std::vector<QRect> after;
    for (const auto& [id, widget] : dialog().controls()) {
      after.push_back(widget->geometry());
      QVERIFY(!widget->geometry().intersects(dialog().progress()->geometry()));
    }
    QVERIFY(before == after);
    // The next batch runs to its end and hides the line.
    QVERIFY(drop({paths[0]}));
    QTest::mouseClick(button(ID_CONVERT), Qt::LeftButton);
    QVERIFY(!dialog().progress()->isVisible());
  }

  void odtItemAddsTheOutputWithoutMovingAControl() {
    QAction* odt = dialog().menu_item(ID_ODT_ITEM);
    QVERIFY(odt != nullptr);
    QVERIFY(dialog().menu()->actions().contains(odt));
    QVERIFY(odt != dialog().menu_item(ID_COMPLETE_ITEM));
    QCOMPARE(odt->text(), QStringLiteral("Also write ODT (.odt)"));
    QVERIFY(odt->isCheckable());
    QVERIFY(!odt->isChecked());  // off at every start
    QSize size = dialog().size();
    std::vector<QRect> before;
    for (const auto& [id, widget] : dialog().controls()) before.push_back(widget->geometry());

    odt->trigger();  // as a click on the item
    QVERIFY(odt->isChecked());
    std::string path = file("memo.wpd", "memo");
    QVERIFY(drop({path}));
    choose_text_output();
    QTest::mouseClick(button(ID_CONVERT), Qt::LeftButton);
    QVERIFY(port_->messages.empty());
    QCOMPARE(text(ID_TO_TXT), std::string("memo.wpd.txt\r\nmemo.wpd.odt\r\n"));
    QCOMPARE(testing::read_file(path + ".txt"), std::string("memo"));
    testing::OdtPackage package = testing::read_odt_package(path + ".odt");
    QCOMPARE(package.problem, std::string());
    QVERIFY(package.content.find(">memo") != std::string::npos);

    std::vector<QRect> after;
    for (const auto& [id, widget] : dialog().controls()) after.push_back(widget->geometry());
    QVERIFY(before == after);
    QCOMPARE(dialog().size(), size);
  }

  void dropsThatAreNotLocalFilesAreRefused() {
    QVERIFY(!drop(QByteArray("https://example.org/memo.wpd\r\n")));
    QVERIFY(!drop(QByteArray("file:///tmp/a.wpd\r\nhttps://example.org/memo.wpd\r\n")));
    QVERIFY(!drop(QByteArray("file:///tmp/a.wpd\r\n"), Qt::MoveAction));
    QCOMPARE(batch_->fileflag, 0);
  }

  void dropKeepsNamesInAnyEncoding() {
    std::string latin1 = "\xe9t\xe9 100%.wpd";  // not UTF-8
    std::string path = file(latin1, "summer");
    QVERIFY(drop({path}));
    QCOMPARE(batch_->filelist, latin1 + "\r\n");
    choose_text_output();
    QTest::mouseClick(button(ID_CONVERT), Qt::LeftButton);
    QVERIFY(port_->messages.empty());
    QCOMPARE(testing::read_file(path + ".txt"), std::string("summer"));
  }

  void fileButtonLoadsTheChosenFiles() {
    std::string a = file("a.wpd", "ay"), b = file("b.wpd", "bee");
    port_->chosen = {a, b};
    QTest::mouseClick(button(ID_FILE_BUT), Qt::LeftButton);
    QCOMPARE(edit(ID_FROM_TXT)->toPlainText(), QStringLiteral("a.wpd\nb.wpd\n"));

    port_->chosen = {b};
    QTest::mouseClick(button(ID_FILE_BUT), Qt::LeftButton);
    QCOMPARE(text(ID_FROM_TXT), std::string("b.wpd\r\n"));
    QCOMPARE(batch_->filepath, dir_->path().string() + "/");

    // Cancelled: the single file stays loaded and shown.
    port_->chosen = {};
    QTest::mouseClick(button(ID_FILE_BUT), Qt::LeftButton);
    QCOMPARE(port_->chooser_calls, 3);
    QCOMPARE(text(ID_FROM_TXT), std::string("b.wpd\r\n"));
    choose_text_output();
    QTest::mouseClick(button(ID_CONVERT), Qt::LeftButton);
    QCOMPARE(text(ID_TO_TXT), std::string("b.wpd.txt\r\n"));
    QCOMPARE(testing::read_file(b + ".txt"), std::string("bee"));
    QVERIFY(!testing::exists(a + ".txt"));
  }

  void enterPressesConvertFromAnyControl() {
    choose_text_output();
    for (int focus : {ID_FROM_TXT, ID_TXT_CHECK}) {
      std::string path = file("memo" + std::to_string(focus) + ".wpd", "memo");
      QVERIFY(drop({path}));
      dialog().control(focus)->setFocus();
      QTest::keyClick(dialog().control(focus), Qt::Key_Return);
      QVERIFY2(testing::exists(path + ".txt"), qPrintable(QString::number(focus)));
      // The list was converted, not edited.
      QCOMPARE(text(ID_FROM_TXT), std::string());
    }
  }

  void escapeQuitAndCloseEndTheDialogWithZero() {
    std::vector<std::function<void()>> ways = {
        [this] { QTest::keyClick(edit(ID_FROM_TXT), Qt::Key_Escape); },
        [this] { QTest::mouseClick(button(ID_CANCEL), Qt::LeftButton); },
        [this] { dialog().close(); },
    };
    for (const auto& way : ways) {
      cleanup();
      batch_ = std::make_unique<BatchState>();
      port_ = std::make_unique<RecordingPort>(*batch_);
      QTimer::singleShot(0, &dialog(), way);
      // Should the dialog not end, this ends it with a value the test rejects.
      QTimer::singleShot(3000, &dialog(), [this] { dialog().done(99); });
      QCOMPARE(port_->run(), 0);
      QVERIFY(!dialog().isVisible());
    }
  }

  void messageBoxHasOneOkButtonAndNoOwner() {
    QString title, body;
    QList<QAbstractButton*> buttons;
    QWidget* owner = &dialog();
    answer_modal(&dialog(), [&](QWidget* modal) {
      auto* box = qobject_cast<QMessageBox*>(modal);
      if (box == nullptr) return;
      title = box->windowTitle();
      body = box->text();
      buttons = box->buttons();
      owner = box->parentWidget();
      box->button(QMessageBox::Ok)->click();
    });
    port_->DesktopPort::message_box("Unable to open files.", "File I/O Error!");
    QCOMPARE(title, QStringLiteral("File I/O Error!"));
    QCOMPARE(body, QStringLiteral("Unable to open files."));
    QCOMPARE(buttons.size(), 1);
    QCOMPARE(owner, nullptr);
  }

  void fileDialogOffersEveryFileAndLoadsTheChoice() {
    file("a.wpd", "ay");
    file("README", "no dot");
    file("notes.txt", "text");
    QString title, shown_filter;
    bool listed = false;
    int enabled = 0;
    answer_modal(&dialog(), [&](QWidget* modal) {
      auto* chooser = qobject_cast<QFileDialog*>(modal);
      if (chooser == nullptr) return;
      title = chooser->windowTitle();
      if (auto* filters = chooser->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"))) {
        shown_filter = filters->currentText();
      }
      QString folder = QString::fromStdString(dir_->path().string());
      chooser->setDirectory(folder);
      if (auto* model = chooser->findChild<QFileSystemModel*>()) {
        QModelIndex root = model->index(folder);
        listed = QTest::qWaitFor([&] { return model->rowCount(root) == 3; }, 5000);
        for (int row = 0; row < model->rowCount(root); ++row) {
          if (model->flags(model->index(row, 0, root)) & Qt::ItemIsEnabled) ++enabled;
        }
      }
      // Typed into the name box, as a user picks several files by name.
      if (auto* names = chooser->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
        names->setText(QStringLiteral("\"README\" \"a.wpd\""));
      }
      static_cast<QDialog*>(chooser)->accept();  // QFileDialog's own accept() is protected
    });
    port_->real_chooser = true;
    QTest::mouseClick(button(ID_FILE_BUT), Qt::LeftButton);
    QCOMPARE(title, QStringLiteral("From file"));
    QCOMPARE(shown_filter, QStringLiteral("All Files (*.*)"));
    QVERIFY(listed);
    QCOMPARE(enabled, 3);  // the name without a dot too
    QCOMPARE(batch_->filepath, dir_->path().string());
    QCOMPARE(text(ID_FROM_TXT), std::string("README\r\na.wpd\r\n"));
  }
};

}  // namespace quorrel

QTEST_MAIN(quorrel::DesktopTest)
#include "desktop_test.moc"
