// Drives the real main window on Qt's offscreen platform.
#include <QApplication>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyleFactory>
#include <QTimer>
#include <QtTest>
#include <memory>

// moc does not read the program's headers (it cannot parse the control names).
#ifndef Q_MOC_RUN
#include "analysis/work_text.h"
#include "app/application.h"
#include "app/edit_hook.h"
#include "app/link_buttons.h"
#include "app/main_window.h"
#include "text/fatal.h"
#include "text/gbk.h"
#endif

using qv::Control;
using qv::Text;
using qv::app::MainWindow;

namespace {

QString Q(const char* utf8) { return QString::fromUtf8(utf8); }

template <typename W = QWidget>
W* Find(QWidget& window, const char* name) {
  return window.findChild<W*>(Q(name));
}

// A window as the program builds it: hooked, shown and active.
std::unique_ptr<MainWindow> ShownWindow() {
  auto window = std::make_unique<MainWindow>();
  qv::app::OnMainWindowCreated(*window);
  window->show();
  window->activateWindow();
  if (!QTest::qWaitForWindowActive(window.get())) qWarning("window not active");
  return window;
}

QString FocusedName() {
  QWidget* w = QApplication::focusWidget();
  return w == nullptr ? QString() : w->objectName();
}

}  // namespace

class WindowTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QApplication::setStyle(QStyleFactory::create(QStringLiteral("Windows"))); }

  void controlsFollowTheLayout_data() {
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("text");
    const auto row = [](const char* name, const char* parent, QRect r, const char* text) {
      QTest::newRow(name) << Q(parent) << r << Q(text);
    };
    row("分组框1", "MainWindow", {8, 8, 728, 60}, "输入店铺地址");
    row("编辑框1", "分组框1", {11, 20, 565, 24}, "https://demo.taobao.com/");
    row("按钮4", "分组框1", {575, 20, 20, 24}, ">");
    row("按钮1", "分组框1", {596, 20, 120, 24}, "分析css");
    row("分组框4", "MainWindow", {8, 72, 728, 60}, "店铺信息");
    row("透明标签5", "分组框4", {27, 27, 237, 16}, "");
    row("透明标签6", "分组框4", {254, 27, 200, 16}, "");
    row("透明标签2", "分组框4", {434, 27, 286, 16}, "");
    row("分组框2", "MainWindow", {8, 137, 728, 60}, "css页面地址");
    row("编辑框2", "分组框2", {14, 22, 680, 24}, "");
    row("按钮2", "分组框2", {695, 22, 20, 24}, ">");
    row("分组框3", "MainWindow", {8, 204, 728, 228}, "整店css代码");
    row("编辑框4", "分组框3", {14, 22, 700, 190}, "");
    row("分组框5", "MainWindow", {8, 440, 728, 136}, "帮助说明");
    row("透明标签1", "分组框5", {24, 24, 680, 72}, nullptr);
    row("按钮3", "分组框5", {592, 96, 120, 24}, "加入QQ群");
    row("状态条1", "MainWindow", {0, 564, 744, 20}, nullptr);
  }

  void controlsFollowTheLayout() {
    QFETCH(QString, parent);
    QFETCH(QRect, geometry);
    QFETCH(QString, text);
    MainWindow window;
    QWidget* w = window.findChild<QWidget*>(QString::fromUtf8(QTest::currentDataTag()));
    QVERIFY(w != nullptr);
    QCOMPARE(w->parentWidget()->objectName(), parent);
    QCOMPARE(w->geometry(), geometry);
    QVERIFY(w->isEnabled());
    if (auto* box = qobject_cast<QGroupBox*>(w)) QCOMPARE(box->title(), text);
    if (auto* edit = qobject_cast<QLineEdit*>(w)) {
      QCOMPARE(edit->text(), text);
      QCOMPARE(edit->maxLength(), std::numeric_limits<int>::max());
    }
    if (auto* button = qobject_cast<QPushButton*>(w)) {
      QCOMPARE(button->text(), text);
      QVERIFY(!button->isDefault() && !button->autoDefault());
    }
    if (auto* label = qobject_cast<QLabel*>(w); label != nullptr && !text.isNull()) QCOMPARE(label->text(), text);
  }

  void windowFrameTextsAndColours() {
    MainWindow window;
    QCOMPARE(window.windowTitle(), Q("Quorvane——Mirelda"));
    QCOMPARE(window.size(), QSize(744, 584));
    QCOMPARE(window.minimumSize(), window.maximumSize());
    QVERIFY(!(window.windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(window.windowFlags() & Qt::WindowMinimizeButtonHint);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QCOMPARE(window.pos(), QPoint((screen.width() - 750) / 2, (screen.height() - 629) / 2));

    auto* edit4 = Find<QPlainTextEdit>(window, "编辑框4");
    QCOMPARE(edit4->palette().color(QPalette::Base), QColor(96, 96, 96));
    QCOMPARE(edit4->palette().color(QPalette::Text), QColor(255, 255, 255));
    QCOMPARE(edit4->font().pixelSize(), 16);
    QCOMPARE(edit4->font().weight(), QFont::Normal);
    QCOMPARE(edit4->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    QCOMPARE(edit4->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(edit4->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);

    auto* status = Find<QStatusBar>(window, "状态条1");
    QVERIFY(!status->isSizeGripEnabled());
    const QList<QLabel*> parts = status->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly);
    QCOMPARE(parts.size(), 2);
    QCOMPARE(parts[0]->text(), Q("  旺旺：Ostrelle"));
    QCOMPARE(parts[0]->geometry(), QRect(0, 0, 630, 20));
    QCOMPARE(parts[1]->text(), Q(" 版本号：v1.1"));
    QCOMPARE(parts[1]->geometry().left(), 630);

    const QString help = Find<QLabel>(window, "透明标签1")->text();
    QVERIFY(help.startsWith(Q("1、支持淘宝旺铺专业版和天猫店铺；\n2、支持默认模板和购买sdk模板的店铺；\n3、")));
    QVERIFY(help.contains(
        Q("\n4、抓取速度依网速而定，一般一两秒完成；若取不出，请检查是否输入了正确的地址，并重启软件再试；")));
  }

  void focusOrderWrapsAndSkipsDisabledButtons() {
    auto window = ShownWindow();
    QCOMPARE(FocusedName(), Q("编辑框1"));
    const QStringList forward = {Q("按钮1"), Q("编辑框2"), Q("编辑框4"), Q("按钮2"),
                                 Q("按钮3"), Q("按钮4"),   Q("编辑框1")};
    for (const QString& expected : forward) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      QCOMPARE(FocusedName(), expected);
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(FocusedName(), Q("按钮4"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    window->SetControlEnabled(Control::按钮1, false);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(FocusedName(), Q("编辑框2"));
  }

  void escapeClosesFromEveryEditBox_data() {
    QTest::addColumn<QString>("box");
    QTest::newRow("编辑框1") << Q("编辑框1");
    QTest::newRow("编辑框2") << Q("编辑框2");
    QTest::newRow("编辑框4") << Q("编辑框4");
    QTest::newRow("按钮3") << Q("按钮3");
  }

  void escapeClosesFromEveryEditBox() {
    QFETCH(QString, box);
    auto window = ShownWindow();
    QWidget* w = window->findChild<QWidget*>(box);
    w->setFocus();
    QTest::keyClicks(w, QStringLiteral("ab"));
    QTest::keyClick(w, Qt::Key_Escape);
    QTRY_VERIFY(!window->isVisible());
  }

  void enterInsertsALineBreakOnlyInEditBox4() {
    auto window = ShownWindow();
    auto* edit1 = Find<QLineEdit>(*window, "编辑框1");
    const QString before = edit1->text();
    QTest::keyClick(edit1, Qt::Key_Return);
    QCOMPARE(FocusedName(), Q("编辑框1"));
    QCOMPARE(edit1->text(), before);
    QVERIFY(window->isVisible());

    auto* edit4 = Find<QPlainTextEdit>(*window, "编辑框4");
    edit4->setFocus();
    QTest::keyClicks(edit4, QStringLiteral("a"));
    QTest::keyClick(edit4, Qt::Key_Return);
    QTest::keyClicks(edit4, QStringLiteral("b"));
    QCOMPARE(edit4->toPlainText(), QStringLiteral("a\nb"));
    QCOMPARE(window->GetControlText(Control::编辑框4).View(), "a\r\nb");
  }

  void ctrlASelectsAllInExactlyTheThreeEditBoxes() {
    const std::size_t hookedBefore = qv::app::HookedEditControls().size();
    auto window = ShownWindow();
    const auto& hooked = qv::app::HookedEditControls();
    QCOMPARE(hooked.size(), hookedBefore + 3);
    QStringList names;
    for (std::size_t i = hookedBefore; i < hooked.size(); ++i) names << hooked[i]->objectName();
    QCOMPARE(names, (QStringList{Q("编辑框1"), Q("编辑框2"), Q("编辑框4")}));

    window->SetControlText(Control::编辑框2, Text("style.css"));
    window->SetControlText(Control::编辑框4, Text("a{}\r\nb{}"));
    for (const Qt::KeyboardModifiers modifiers :
         {Qt::KeyboardModifiers(Qt::ControlModifier), Qt::ControlModifier | Qt::ShiftModifier}) {
      for (const char* name : {"编辑框1", "编辑框2"}) {
        auto* edit = Find<QLineEdit>(*window, name);
        edit->setFocus();
        edit->deselect();
        QTest::keyClick(edit, Qt::Key_A, modifiers);
        QCOMPARE(edit->selectedText(), edit->text());
      }
      auto* edit4 = Find<QPlainTextEdit>(*window, "编辑框4");
      edit4->setFocus();
      edit4->moveCursor(QTextCursor::End);
      QTest::keyClick(edit4, Qt::Key_A, modifiers);
      QCOMPARE(edit4->textCursor().selectedText(), QStringLiteral("a{}\u2029b{}"));
    }
    // A without Ctrl types the letter as usual.
    auto* edit2 = Find<QLineEdit>(*window, "编辑框2");
    edit2->setFocus();
    edit2->end(false);
    QTest::keyClick(edit2, Qt::Key_A);
    QCOMPARE(edit2->text(), QStringLiteral("style.cssa"));
  }

  void editBox4HidesItsSelectionWithoutTheFocus() {
    auto window = ShownWindow();
    window->SetControlText(Control::编辑框4, Text("a{}\r\nb{}"));
    auto* edit4 = Find<QPlainTextEdit>(*window, "编辑框4");
    edit4->setFocus();
    edit4->selectAll();
    QVERIFY(edit4->palette().color(QPalette::Highlight) != QColor(96, 96, 96));
    Find(*window, "按钮2")->setFocus();
    QCOMPARE(edit4->palette().color(QPalette::Highlight), QColor(96, 96, 96));
    QVERIFY(edit4->textCursor().hasSelection());  // hidden, not lost
    edit4->setFocus();
    QVERIFY(edit4->palette().color(QPalette::Highlight) != QColor(96, 96, 96));
  }

  void largeStyleSheetIsShownWhole() {
    auto window = ShownWindow();
    std::string css;
    while (css.size() < 500 * 1024) css += "#page .shop-banner { background: url(//img.example/a.png); }\r\n";
    window->SetControlText(Control::编辑框4, Text(css));
    QCOMPARE(window->GetControlText(Control::编辑框4).View(), css);
    auto* edit4 = Find<QPlainTextEdit>(*window, "编辑框4");
    QTRY_VERIFY(edit4->verticalScrollBar()->maximum() > 0);
    QCOMPARE(edit4->horizontalScrollBar()->maximum(), 0);
  }

  void longSingleLineTextIsKeptWhole() {
    auto window = ShownWindow();
    std::string page;
    while (page.size() < 1024 * 1024) page += "<li>\xD6\xD0\xCE\xC4 item</li>\r\n";
    QElapsedTimer timer;
    timer.start();
    window->SetControlText(Control::编辑框2, Text(page));
    QTest::qWait(10);
    QVERIFY2(timer.elapsed() < 2000, "a long line must not freeze the window");
    QCOMPARE(window->GetControlText(Control::编辑框2).View(), page);  // read back whole, as the flow needs
    auto* edit2 = Find<QLineEdit>(*window, "编辑框2");
    QVERIFY(edit2->text().size() <= 32 * 1024);
    QVERIFY(edit2->text().startsWith(Q("<li>中文 item</li>")));
    edit2->setFocus();
    edit2->selectAll();
    QTest::keyClicks(edit2, QStringLiteral("typed"));
    QCOMPARE(window->GetControlText(Control::编辑框2).View(), "typed");  // the user's edit wins
  }

  void controlOperationsExchangeGbk() {
    MainWindow window;
    window.SetControlText(Control::编辑框2, qv::FromUtf8("中文 css"));
    QCOMPARE(Find<QLineEdit>(window, "编辑框2")->text(), Q("中文 css"));
    Find<QLineEdit>(window, "编辑框1")->setText(Q("ab\u0531c"));  // Armenian has no GBK form
    QCOMPARE(window.GetControlText(Control::编辑框1).View(), "ab?c");
    Find<QLineEdit>(window, "编辑框1")->clear();
    QVERIFY(window.GetControlText(Control::编辑框1).IsEmpty());
    window.SetButtonCaption(Control::按钮1, qv::FromUtf8("请稍候..."));
    QCOMPARE(Find<QPushButton>(window, "按钮1")->text(), Q("请稍候..."));
    window.SetControlText(Control::透明标签5, Text("<b>not rich</b>"));
    QCOMPARE(Find<QLabel>(window, "透明标签5")->textFormat(), Qt::PlainText);
  }

  void shorterLabelTextLeavesNoRemains() {
    auto longer = ShownWindow();
    longer->SetControlText(Control::透明标签5, qv::FromUtf8("店铺名称：一个名字很长很长的店铺WWWWWWWW"));
    QTest::qWait(20);
    longer->SetControlText(Control::透明标签5, Text("x"));
    QTest::qWait(20);
    auto fresh = ShownWindow();
    fresh->SetControlText(Control::透明标签5, Text("x"));
    QTest::qWait(20);
    const QImage a = Find(*longer, "分组框4")->grab().toImage();
    const QImage b = Find(*fresh, "分组框4")->grab().toImage();
    QCOMPARE(a, b);
    longer->SetControlText(Control::透明标签5, Text());
    fresh->SetControlText(Control::透明标签5, Text());
    QTest::qWait(20);
    QCOMPARE(Find(*longer, "分组框4")->grab().toImage(), Find(*fresh, "分组框4")->grab().toImage());
  }

  void linkButtonsOpenOnlyWebAddresses_data() {
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("opened");  // null: nothing is opened
    QTest::newRow("http") << Q("http://shop.taobao.com/") << Q("http://shop.taobao.com/");
    QTest::newRow("HTTPS") << Q("HTTPS://Shop.Tmall.com/x") << Q("HTTPS://Shop.Tmall.com/x");
    QTest::newRow("no scheme") << Q("shop.taobao.com/") << Q("http://shop.taobao.com/");
    QTest::newRow("host and port") << Q("localhost:8080/a") << Q("http://localhost:8080/a");
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("file") << Q("file:///etc/passwd") << QString();
    QTest::newRow("javascript") << Q("javascript:alert(1)") << QString();
    QTest::newRow("ftp") << Q("ftp://shop.test/") << QString();
    QTest::newRow("drive") << Q("C:\\Windows\\notepad.exe") << QString();
    QTest::newRow("chinese") << Q("店铺.taobao.com") << Q("http://店铺.taobao.com");
  }

  void linkButtonsOpenOnlyWebAddresses() {
    QFETCH(QString, address);
    QFETCH(QString, opened);
    auto window = ShownWindow();
    QStringList seen;
    qv::app::BindLinkButtons(*window, [&seen](const std::string& a) { seen << QString::fromStdString(a); });
    Find<QLineEdit>(*window, "编辑框1")->setText(address);
    Find<QLineEdit>(*window, "编辑框2")->setText(address);
    QTest::mouseClick(Find(*window, "按钮4"), Qt::LeftButton);
    QTest::mouseClick(Find(*window, "按钮2"), Qt::LeftButton);
    QTest::mouseClick(Find(*window, "按钮3"), Qt::LeftButton);
    QStringList expected;
    if (!opened.isNull()) expected << opened << opened;
    expected << Q("https://qm.qq.com/");
    QCOMPARE(seen, expected);
    QCOMPARE(Find<QLineEdit>(*window, "编辑框1")->text(), address);  // nothing in the window changes
  }

  void exitCallbackRunsOnceAndReleasesTheWorkText() {
    static int calls = 0;
    qv::app::RegisterExitCallback([] { ++calls; });
    qv::app::RunExitCallback();
    qv::app::RunExitCallback();
    QCOMPARE(calls, 1);
    qv::g_workText = Text("left over");
    qv::app::OnAppExit();
    QVERIFY(!qv::g_workText.IsPresent());
  }

  void fatalReportShowsTheBoxAndEndsWithMinusOne() {
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--fatal-child")});
    QVERIFY(child.waitForFinished(20000));
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), 255);
    QCOMPARE(QString::fromUtf8(child.readAllStandardOutput()),
             Q("错误|运行时出错!\r\n\r\n错误代码：4\r\n\r\n错误信息：数组成员引用下标必须大于等于1\r\n|1"));
  }

  void unreachableWindowSystemIsReportedOnStandardError() {
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    program.setProcessEnvironment(env);
    program.start(QStringLiteral(QV_QUORVANE_BINARY), {});
    QVERIFY(program.waitForFinished(20000));
    QCOMPARE(program.exitCode(), 255);
    QVERIFY(QString::fromUtf8(program.readAllStandardError())
                .endsWith(Q("运行时出错!\r\n\r\n错误信息：载入启动窗口失败\r\n")));
  }
};

// In the child: the window program's fatal box appears; a timer reads it,
// prints title, text and button count, and presses OK.
int RunFatalChild(int argc, char** argv) {
  QApplication app(argc, argv);
  qv::app::InstallFatalBox();
  QTimer::singleShot(100, [] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (auto* box = qobject_cast<QMessageBox*>(w); box != nullptr && box->isVisible()) {
        const QString line = box->windowTitle() + "|" + box->text() + "|" + QString::number(box->buttons().size());
        std::fputs(line.toUtf8().constData(), stdout);
        std::fflush(stdout);
        box->button(QMessageBox::Ok)->click();
      }
    }
  });
  qv::TextArray empty = qv::NewTextArray();
  (void)qv::ItemAt(empty, 0);
  return 0;
}

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--fatal-child") == 0) return RunFatalChild(argc, argv);
  QApplication app(argc, argv);
  WindowTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "window_test.moc"
