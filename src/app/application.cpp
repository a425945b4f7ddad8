#include "app/application.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QIcon>
#include <QMessageBox>
#include <QStyleFactory>
#include <QUrl>
#include <memory>

#include "analysis/flow.h"
#include "analysis/work_text.h"
#include "app/edit_hook.h"
#include "app/link_buttons.h"
#include "app/main_window.h"
#include "text/fatal.h"
#include "text/gbk.h"

namespace qv::app {

namespace {

ExitCallback g_exitCallback = nullptr;

void FatalBox(const Text& reportText) {
  QMessageBox box(QMessageBox::Critical, QString::fromUtf8("错误"), ToQString(reportText), QMessageBox::Ok);
  box.exec();
}

// Qt ends the process on a fatal message, for instance when no window system
// can be reached; the program ends with its own report on standard error instead.
void OnToolkitMessage(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type != QtFatalMsg) {
    std::fputs(message.toLocal8Bit().constData(), stderr);
    std::fputc('\n', stderr);
    return;
  }
  SetFatalReporter(nullptr);
  ReportRuntimeError(0, FromUtf8("载入启动窗口失败"));
}

void OpenInBrowser(const std::string& address) {
  QDesktopServices::openUrl(
      QUrl(QString::fromUtf8(address.data(), static_cast<qsizetype>(address.size())), QUrl::TolerantMode));
}

}  // namespace

void RegisterExitCallback(ExitCallback callback) { g_exitCallback = callback; }

void RunExitCallback() {
  const ExitCallback callback = g_exitCallback;
  g_exitCallback = nullptr;
  if (callback != nullptr) callback();
}

void OnAppExit() {
  if (g_workText.IsPresent()) g_workText = Text();
}

void InstallFatalBox() { SetFatalReporter(&FatalBox); }

void BindAnalyzeButton(MainWindow& window, Fetch fetch) {
  window.OnClicked(Control::按钮1,
                   [&window, fetch = std::move(fetch)] { window.RunBusy([&] { OnAnalyzeClicked(window, fetch); }); });
}

int Main(int argc, char** argv) {
  qInstallMessageHandler(&OnToolkitMessage);
  QApplication application(argc, argv);
  qInstallMessageHandler(nullptr);
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Windows")));
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/quorvane.png")));
  QDir::setCurrent(QCoreApplication::applicationDirPath());
  InstallFatalBox();
  RegisterExitCallback(&OnAppExit);

  std::unique_ptr<MainWindow> window;
  try {
    window = std::make_unique<MainWindow>();
  } catch (const std::exception&) {
    ReportRuntimeError(0, FromUtf8("载入启动窗口失败"));
  }
  BindLinkButtons(*window, &OpenInBrowser);
  BindAnalyzeButton(*window, WebFetch());
  OnMainWindowCreated(*window);
  window->show();
  window->activateWindow();

  QApplication::exec();
  window.reset();
  RunExitCallback();
  return 0;
}

}  // namespace qv::app
