#include "app/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>
#include <limits>

#include "text/gbk.h"
#include "web/web_access.h"

namespace qv::app {

namespace {

constexpr int kClientWidth = 744;
constexpr int kClientHeight = 584;
constexpr int kDesignedOuterWidth = 750;
constexpr int kDesignedOuterHeight = 629;
constexpr int kEditBox4FontPixels = 16;

// The address the tool starts with: a Taobao shop's home page.
constexpr char kDefaultShopAddress[] = "https://demo.taobao.com/";

QString Utf8(const char* text) { return QString::fromUtf8(text); }

// A large style sheet is shown with its lines grouped into paragraphs of
// kLinesPerBlock lines joined by line separators: the text looks and copies
// the same (the editor reads a line separator back as a line feed), but the
// editor builds some thousand blocks instead of one per line, which is what
// made a multi-megabyte sheet take seconds to appear.
constexpr qsizetype kGroupLinesAbove = qsizetype{64} * 1024;
constexpr int kLinesPerBlock = 32;

// Multi-line text for the editor, in one pass over it: the platform's line
// ends (CR LF, and a lone CR or LF) become line feeds, grouped as above when
// the text is large.
QString DisplayText(QString text) {
  const bool group = text.size() >= kGroupLinesAbove;
  QChar* const c = text.data();
  const qsizetype n = text.size();
  qsizetype out = 0;
  int line = 0;
  for (qsizetype i = 0; i < n; ++i) {
    QChar ch = c[i];
    if (ch == QLatin1Char('\r')) {
      if (i + 1 < n && c[i + 1] == QLatin1Char('\n')) ++i;
      ch = QLatin1Char('\n');
    }
    if (ch == QLatin1Char('\n') && group && ++line % kLinesPerBlock != 0) ch = QChar::LineSeparator;
    c[out++] = ch;
  }
  text.truncate(out);
  return text;
}

// Texts longer than this are shown in a single-line box by their head only.
constexpr std::int32_t kLongLine = 32 * 1024;

// The first `bytes` bytes of a GBK text or a little fewer, never half a character.
Text HeadOf(const Text& text, std::int32_t bytes) {
  std::int32_t end = 0;
  const std::string_view v = text.View();
  while (end < text.Length()) {
    const std::int32_t next = end + (static_cast<unsigned char>(v[static_cast<std::size_t>(end)]) >= 0x80 ? 2 : 1);
    if (next > bytes) break;
    end = next;
  }
  return TextLeft(text, end);
}

}  // namespace

QString ToQString(const Text& text) {
  QString out(static_cast<qsizetype>(text.View().size()), Qt::Uninitialized);
  const std::size_t units = GbkToUtf16(text.View(), reinterpret_cast<char16_t*>(out.data()));
  out.truncate(static_cast<qsizetype>(units));
  return out;
}

Text FromQString(const QString& text) {
  if (text.isEmpty()) return {};
  const QByteArray utf8 = text.toUtf8();
  return Text::Result(Utf8ToGbk(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size()))));
}

void MainWindow::Place(Control control, QWidget& widget, QWidget& parent, int x, int y, int w, int h) {
  widget.setParent(&parent);
  const std::string_view name = ControlName(control);
  widget.setObjectName(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
  widget.setGeometry(x, y, w, h);
  widgets_[static_cast<int>(control)] = &widget;
}

MainWindow::MainWindow() : escape_(QKeySequence(Qt::Key_Escape), this) {
  setObjectName(QStringLiteral("MainWindow"));
  setWindowTitle(Utf8("Quorvane——Mirelda"));
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
  setFixedSize(kClientWidth, kClientHeight);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect full = screen->geometry();
    move(full.x() + (full.width() - kDesignedOuterWidth) / 2, full.y() + (full.height() - kDesignedOuterHeight) / 2);
  }

  const auto groupBox = [&](Control control, QGroupBox& box, const char* title, int x, int y, int w, int h) {
    box.setTitle(Utf8(title));
    box.setFocusPolicy(Qt::NoFocus);
    Place(control, box, *this, x, y, w, h);
  };
  const auto lineEdit = [&](Control control, QLineEdit& edit, QWidget& parent, int x, int y, int w, int h) {
    edit.setMaxLength(std::numeric_limits<int>::max());
    // Once the user edits the box, what it shows is its text.
    connect(&edit, &QLineEdit::textEdited, this, [this, control] { longLines_.erase(control); });
    Place(control, edit, parent, x, y, w, h);
  };
  const auto button = [&](Control control, QPushButton& b, QWidget& parent, int x, int y, int w, int h,
                          const char* caption) {
    b.setText(Utf8(caption));
    b.setAutoDefault(false);
    b.setDefault(false);
    b.setFocusPolicy(Qt::StrongFocus);
    Place(control, b, parent, x, y, w, h);
  };
  const auto label = [&](Control control, QLabel& l, QWidget& parent, int x, int y, int w, int h) {
    l.setTextFormat(Qt::PlainText);
    l.setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    l.setFocusPolicy(Qt::NoFocus);
    Place(control, l, parent, x, y, w, h);
  };

  groupBox(Control::分组框1, box1_, "输入店铺地址", 8, 8, 728, 60);
  lineEdit(Control::编辑框1, edit1_, box1_, 11, 20, 565, 24);
  edit1_.setText(Utf8(kDefaultShopAddress));
  button(Control::按钮4, button4_, box1_, 575, 20, 20, 24, ">");
  button(Control::按钮1, button1_, box1_, 596, 20, 120, 24, "分析css");

  groupBox(Control::分组框4, box4_, "店铺信息", 8, 72, 728, 60);
  label(Control::透明标签5, label5_, box4_, 27, 27, 237, 16);
  label(Control::透明标签6, label6_, box4_, 254, 27, 200, 16);
  label(Control::透明标签2, label2_, box4_, 434, 27, 286, 16);

  groupBox(Control::分组框2, box2_, "css页面地址", 8, 137, 728, 60);
  lineEdit(Control::编辑框2, edit2_, box2_, 14, 22, 680, 24);
  button(Control::按钮2, button2_, box2_, 695, 22, 20, 24, ">");

  groupBox(Control::分组框3, box3_, "整店css代码", 8, 204, 728, 228);
  edit4_.setLineWrapMode(QPlainTextEdit::WidgetWidth);
  edit4_.setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  edit4_.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  edit4_.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  edit4_.setTabChangesFocus(true);
  QPalette dark = edit4_.palette();
  for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    dark.setColor(group, QPalette::Base, QColor(96, 96, 96));
    dark.setColor(group, QPalette::Text, QColor(255, 255, 255));
  }
  edit4_.setPalette(dark);
  edit4_.installEventFilter(this);  // hides its selection while it does not have the focus
  QFont font4 = edit4_.font();
  font4.setPixelSize(kEditBox4FontPixels);
  font4.setWeight(QFont::Normal);
  font4.setItalic(false);
  font4.setUnderline(false);
  font4.setStrikeOut(false);
  font4.setStyleStrategy(QFont::PreferQuality);
  edit4_.setFont(font4);
  Place(Control::编辑框4, edit4_, box3_, 14, 22, 700, 190);

  groupBox(Control::分组框5, box5_, "帮助说明", 8, 440, 728, 136);
  label(Control::透明标签1, label1_, box5_, 24, 24, 680, 72);
  label1_.setWordWrap(true);
  label1_.setAlignment(Qt::AlignLeft | Qt::AlignTop);
  label1_.setText(DisplayText(
      Utf8("1、支持淘宝旺铺专业版和天猫店铺；\r\n"
           "2、支持默认模板和购买sdk模板的店铺；\r\n"
           "3、个别杀毒软件可能会误报本程序，请放心使用，或将其加入信任列表；\r\n"
           "4、抓取速度依网速而定，一般一两秒完成；若取不出，请检查是否输入了正确的地址，并重启软件再试；\r\n")));
  button(Control::按钮3, button3_, box5_, 592, 96, 120, 24, "加入QQ群");

  // The status bar keeps the bottom edge and the full width; its two parts end at 630 and 760.
  status_.setSizeGripEnabled(false);
  status_.setAutoFillBackground(true);  // covers the bottom of 分组框5 beneath it
  status_.setFocusPolicy(Qt::NoFocus);
  Place(Control::状态条1, status_, *this, 0, kClientHeight - 20, kClientWidth, 20);
  const auto part = [this](QLabel& p, int x, int width, const char* text) {
    p.setParent(&status_);
    p.setText(Utf8(text));
    p.setTextFormat(Qt::PlainText);
    p.setFrameStyle(QFrame::Panel | QFrame::Sunken);
    p.setGeometry(x, 0, width, 20);
  };
  part(statusPart1_, 0, 630, "  旺旺：Ostrelle");
  part(statusPart2_, 630, 130, " 版本号：v1.1");

  // Focus order, wrapping at both ends; disabled buttons are skipped by the toolkit.
  setTabOrder(&edit1_, &button1_);
  setTabOrder(&button1_, &edit2_);
  setTabOrder(&edit2_, &edit4_);
  setTabOrder(&edit4_, &button2_);
  setTabOrder(&button2_, &button3_);
  setTabOrder(&button3_, &button4_);
  edit1_.setFocus(Qt::OtherFocusReason);

  // Esc closes the window from anywhere, also while typing in an edit box.
  escape_.setContext(Qt::WindowShortcut);
  connect(&escape_, &QShortcut::activated, this, &QWidget::close);
}

QWidget* MainWindow::Widget(Control control) const { return widgets_[static_cast<int>(control)]; }

Text MainWindow::GetControlText(Control control) {
  QWidget* w = Widget(control);
  if (auto* edit = qobject_cast<QLineEdit*>(w)) {
    if (const auto it = longLines_.find(control); it != longLines_.end()) return it->second;
    return FromQString(edit->text());
  }
  if (auto* edit = qobject_cast<QPlainTextEdit*>(w)) {
    return FromQString(edit->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n")));
  }
  if (auto* l = qobject_cast<QLabel*>(w)) return FromQString(l->text());
  if (auto* b = qobject_cast<QPushButton*>(w)) return FromQString(b->text());
  return {};
}

void MainWindow::SetControlText(Control control, const Text& text) {
  QWidget* w = Widget(control);
  if (auto* edit = qobject_cast<QLineEdit*>(w)) {
    if (text.Length() > kLongLine) {
      longLines_[control] = text;
      edit->setText(ToQString(HeadOf(text, kLongLine)));
    } else {
      longLines_.erase(control);
      edit->setText(ToQString(text));
    }
    edit->setCursorPosition(0);
  } else if (auto* edit = qobject_cast<QPlainTextEdit*>(w)) {
    edit->setPlainText(DisplayText(ToQString(text)));
  } else if (auto* l = qobject_cast<QLabel*>(w)) {
    // The label paints no background: repaint it with the part of its parent beneath.
    l->setText(ToQString(text));
    if (QWidget* parent = l->parentWidget()) parent->update(l->geometry());
  }
  ShowNowIfBusy();
}

void MainWindow::SetControlEnabled(Control control, bool enabled) {
  Widget(control)->setEnabled(enabled);
  ShowNowIfBusy();
}

void MainWindow::SetButtonCaption(Control control, const Text& caption) {
  if (auto* b = qobject_cast<QPushButton*>(Widget(control))) b->setText(ToQString(caption));
  ShowNowIfBusy();
}

void MainWindow::ShowNowIfBusy() {
  if (busy_) QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void MainWindow::RunBusy(const std::function<void()>& work) {
  SetBusy(true);
  SetWebWaitHook([] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); });
  work();
  SetWebWaitHook(nullptr);
  SetBusy(false);
}

void MainWindow::OnClicked(Control button, std::function<void()> handler) {
  if (auto* b = qobject_cast<QPushButton*>(Widget(button))) {
    connect(b, &QPushButton::clicked, this, [handler = std::move(handler)] { handler(); });
  }
}

void MainWindow::SetBusy(bool busy) {
  busy_ = busy;
  if (!busy_ && closeRequested_) {
    closeRequested_ = false;
    close();
  }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  // The selection of 编辑框4 is drawn only while the box has the focus (the
  // single-line boxes drop theirs on leaving it).
  if (watched == &edit4_ && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)) {
    QPalette palette = edit4_.palette();
    const bool focused = event->type() == QEvent::FocusIn;
    const QPalette standard = QApplication::palette(&edit4_);
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
      palette.setColor(group, QPalette::Highlight,
                       focused ? standard.color(group, QPalette::Highlight) : palette.color(group, QPalette::Base));
      palette.setColor(
          group, QPalette::HighlightedText,
          focused ? standard.color(group, QPalette::HighlightedText) : palette.color(group, QPalette::Text));
    }
    edit4_.setPalette(palette);
  }
  return QWidget::eventFilter(watched, event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (busy_) {
    closeRequested_ = true;  // closes once the click's work is done
    event->ignore();
    return;
  }
  QWidget::closeEvent(event);
}

}  // namespace qv::app
