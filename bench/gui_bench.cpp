// GUI figures for bench/click:
//   gui_bench shown            prints the wall-clock time (ns) when the window is first exposed, then exits
//   gui_bench click ADDRESS    prints the milliseconds from the click on 按钮1 to 编辑框4 filled
#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyleFactory>
#include <QTest>
#include <chrono>
#include <cstdio>
#include <cstring>

#include "app/application.h"
#include "app/edit_hook.h"
#include "app/main_window.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Windows")));
  qv::app::MainWindow window;
  qv::app::OnMainWindowCreated(window);
  qv::app::BindAnalyzeButton(window, qv::WebFetch());
  window.show();
  if (!QTest::qWaitForWindowExposed(&window)) return 1;
  if (argc >= 2 && std::strcmp(argv[1], "shown") == 0) {
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    std::printf("%lld\n", static_cast<long long>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
    return 0;
  }
  if (argc < 3) return 2;
  window.findChild<QLineEdit*>(QString::fromUtf8("编辑框1"))->setText(QString::fromUtf8(argv[2]));
  auto* button = window.findChild<QPushButton*>(QString::fromUtf8("按钮1"));
  const auto start = std::chrono::steady_clock::now();
  QTest::mouseClick(button, Qt::LeftButton);
  const auto* edit4 = window.findChild<QPlainTextEdit*>(QString::fromUtf8("编辑框4"));
  if (edit4->document()->isEmpty()) return 1;
  const auto took = std::chrono::steady_clock::now() - start;
  std::printf("%.1f\n", std::chrono::duration<double, std::milli>(took).count());
  return 0;
}
