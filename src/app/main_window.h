// The one window of the tool, built once from a fixed layout.
#pragma once

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>
#include <QWidget>
#include <functional>
#include <map>

#include "analysis/controls.h"

namespace qv::app {

// Conversions at the control operations: GBK texts in, toolkit strings out.
[[nodiscard]] QString ToQString(const Text& text);
[[nodiscard]] Text FromQString(const QString& text);

class MainWindow final : public QWidget, public WindowControls {
 public:
  // Builds the window and every control, still hidden, centred on the primary screen.
  MainWindow();

  [[nodiscard]] Text GetControlText(Control control) override;
  void SetControlText(Control control, const Text& text) override;
  void SetControlEnabled(Control control, bool enabled) override;
  void SetButtonCaption(Control control, const Text& caption) override;

  // The widget of a control (its objectName is the layout name).
  [[nodiscard]] QWidget* Widget(Control control) const;

  // What a click on a button runs; clicks do nothing until one is set.
  void OnClicked(Control button, std::function<void()> handler);

  // While busy, user input waits, every write shows at once and a close
  // request is kept until the work ends.
  void SetBusy(bool busy);
  [[nodiscard]] bool IsBusy() const { return busy_; }

  // Runs `work` busy, painting (but taking no input) while it waits for the network.
  void RunBusy(const std::function<void()>& work);

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Place(Control control, QWidget& widget, QWidget& parent, int x, int y, int w, int h);
  void ShowNowIfBusy();

  QWidget* widgets_[static_cast<int>(Control::状态条1) + 1] = {};
  bool busy_ = false;

  // The controls live as members; each parent is declared before its children,
  // so children are destroyed first and the toolkit never deletes a member.
  QGroupBox box1_;
  QLineEdit edit1_;
  QPushButton button4_;
  QPushButton button1_;
  QGroupBox box4_;
  QLabel label5_;
  QLabel label6_;
  QLabel label2_;
  QGroupBox box2_;
  QLineEdit edit2_;
  QPushButton button2_;
  QGroupBox box3_;
  QPlainTextEdit edit4_;
  QGroupBox box5_;
  QLabel label1_;
  QPushButton button3_;
  QStatusBar status_;
  QLabel statusPart1_;
  QLabel statusPart2_;
  QShortcut escape_;
  bool closeRequested_ = false;
  // A single-line box shows only the head of a very long text (laying out
  // megabytes on one line would freeze the window); the whole text is kept
  // here and read back until the user edits the box.
  std::map<Control, Text> longLines_;
};

}  // namespace qv::app
