// A click on "分析css" in the real window, through the real WebAccess, against
// fixture shops on loopback.
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <memory>

#ifndef Q_MOC_RUN
#include "app/application.h"
#include "app/edit_hook.h"
#include "app/link_buttons.h"
#include "app/main_window.h"
#include "support/fixture_shops.h"
#endif

using qv::test::Encoding;
using qv::test::Family;
using qv::test::Template;

namespace {

QString Q(const std::string& utf8) { return QString::fromStdString(utf8); }

std::unique_ptr<qv::app::MainWindow> AnalysisWindow() {
  auto window = std::make_unique<qv::app::MainWindow>();
  qv::app::OnMainWindowCreated(*window);
  qv::app::BindAnalyzeButton(*window, qv::WebFetch());
  window->show();
  window->activateWindow();
  if (!QTest::qWaitForWindowActive(window.get())) qWarning("window not active");
  return window;
}

template <typename W>
W* Find(QWidget& window, const char* name) {
  return window.findChild<W*>(QString::fromUtf8(name));
}

}  // namespace

class FlowWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void clickShowsTheShop_data() {
    QTest::addColumn<int>("family");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("encoding");
    for (const Family f : {Family::kTmall, Family::kTaobao}) {
      for (const Template t : {Template::kDesigner, Template::kSystem, Template::kNeither}) {
        for (const Encoding e : {Encoding::kGbk, Encoding::kUtf8Meta, Encoding::kUtf8Header}) {
          const QString name = QString("%1/%2/%3")
                                   .arg(f == Family::kTmall ? "tmall" : "taobao")
                                   .arg(static_cast<int>(t))
                                   .arg(static_cast<int>(e));
          QTest::newRow(name.toUtf8().constData()) << static_cast<int>(f) << static_cast<int>(t) << static_cast<int>(e);
        }
      }
    }
  }

  void clickShowsTheShop() {
    QFETCH(int, family);
    QFETCH(int, kind);
    QFETCH(int, encoding);
    const auto f = static_cast<Family>(family);
    const auto t = static_cast<Template>(kind);
    qv::test::FixtureShops shops;
    auto window = AnalysisWindow();
    const std::string address = shops.ShopAddress(f, t, static_cast<Encoding>(encoding));
    Find<QLineEdit>(*window, "编辑框1")->setText(Q(address));
    auto* button = Find<QPushButton>(*window, "按钮1");
    QTest::mouseClick(button, Qt::LeftButton);

    const bool tmall = f == Family::kTmall;
    QCOMPARE(Find<QLabel>(*window, "透明标签5")->text(),
             Q(std::string("店铺名称：") + (tmall ? qv::test::kTmallShopName : qv::test::kTaobaoShopName)));
    QCOMPARE(Find<QLabel>(*window, "透明标签6")->text(),
             Q(std::string("掌柜：") + (tmall ? qv::test::kTmallShopkeeper : qv::test::kTaobaoShopkeeper)));
    const auto requests = shops.server().Requests();
    if (t == Template::kNeither) {
      QCOMPARE(Find<QLabel>(*window, "透明标签2")->text(), QString());
      QVERIFY(Find<QLineEdit>(*window, "编辑框2")->text().contains(QStringLiteral("</html>")));
      QCOMPARE(requests.size(), std::size_t{3});  // the page text is no address that reaches the server
    } else {
      QCOMPARE(Find<QLabel>(*window, "透明标签2")->text(),
               t == Template::kDesigner ? Q(std::string("★当前模板为设计师模板，模版设计：") + qv::test::kDesignerName)
                                        : Q("☆当前模板为系统默认模板"));
      QCOMPARE(Find<QLineEdit>(*window, "编辑框2")->text(), Q(shops.CssAddress(f, t)));
      QCOMPARE(Find<QPlainTextEdit>(*window, "编辑框4")->toPlainText(),
               Q(qv::test::FixtureShops::CleanedCss(f, t)).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
      QCOMPARE(requests.size(), t == Template::kDesigner ? std::size_t{5} : std::size_t{4});
      QCOMPARE(requests.back().Target(), shops.CssAddress(f, t).substr(shops.CssAddress(f, t).rfind("/css/")));
    }
    QVERIFY(button->isEnabled());
    QCOMPARE(button->text(), QString::fromUtf8("分析css"));
  }

  void windowPaintsWhileWaitingAndClosesAfterTheWork() {
    qv::test::FixtureShops slow(0, std::chrono::milliseconds(150));
    auto window = AnalysisWindow();
    Find<QLineEdit>(*window, "编辑框1")
        ->setText(Q(slow.ShopAddress(Family::kTaobao, Template::kDesigner, Encoding::kGbk)));
    auto* button = Find<QPushButton>(*window, "按钮1");
    // Looks at the window while the click's work runs (timers fire while it waits for
    // the network): once the shop name shows before the style sheet, ask to close.
    QString captionMeanwhile;
    bool enabledMeanwhile = true;
    QString shopNameMeanwhile;
    QTimer watcher;
    watcher.setInterval(20);
    QObject::connect(&watcher, &QTimer::timeout, [&] {
      const QString name = Find<QLabel>(*window, "透明标签5")->text();
      if (name.isEmpty() || !Find<QPlainTextEdit>(*window, "编辑框4")->toPlainText().isEmpty()) return;
      captionMeanwhile = button->text();
      enabledMeanwhile = button->isEnabled();
      shopNameMeanwhile = name;
      window->close();  // a close request in the middle of the work
      watcher.stop();
    });
    watcher.start();
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(captionMeanwhile, QString::fromUtf8("请稍候..."));
    QVERIFY(!enabledMeanwhile);
    QCOMPARE(shopNameMeanwhile, Q(std::string("店铺名称：") + qv::test::kTaobaoShopName));
    // The work finished before the window closed.
    QCOMPARE(Find<QPlainTextEdit>(*window, "编辑框4")->toPlainText(),
             Q(qv::test::TaobaoNavCssCleaned()).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    QVERIFY(!window->isVisible());
  }

  void hostilePagesLeaveTheButtonUsableAndOpenNothingLocal_data() {
    QTest::addColumn<QString>("cssHref");
    QTest::newRow("file scheme") << QStringLiteral("file:///etc/passwd");
    QTest::newRow("program") << QStringLiteral("C:\\Windows\\System32\\calc.exe");
    QTest::newRow("javascript") << QStringLiteral("javascript:alert(1)");
  }

  void hostilePagesLeaveTheButtonUsableAndOpenNothingLocal() {
    QFETCH(QString, cssHref);
    const std::string href = cssHref.toStdString();
    qv::test::HttpServer server([&href](const qv::test::RecordedRequest&) {
      std::string page = qv::test::ShopPageHtml(Family::kTaobao, Template::kDesigner, href);
      page.replace(page.find("__META__"), 8, "");
      return qv::test::Reply{qv::test::Response(page)};
    });
    auto window = AnalysisWindow();
    QStringList opened;
    qv::app::BindLinkButtons(*window, [&opened](const std::string& a) { opened << QString::fromStdString(a); });
    Find<QLineEdit>(*window, "编辑框1")->setText(Q(server.Url("shop.taobao.localhost") + "/"));
    auto* button = Find<QPushButton>(*window, "按钮1");
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(Find<QLineEdit>(*window, "编辑框2")->text(), cssHref);
    QCOMPARE(Find<QPlainTextEdit>(*window, "编辑框4")->toPlainText(), QString());
    QVERIFY(button->isEnabled());
    QTest::mouseClick(Find<QPushButton>(*window, "按钮2"), Qt::LeftButton);
    QVERIFY(opened.isEmpty());
  }

  void largePageWithoutTemplateKeepsTheWindowResponsive() {
    qv::test::FixtureShops shops(8u << 20);
    auto window = AnalysisWindow();
    Find<QLineEdit>(*window, "编辑框1")
        ->setText(Q(shops.ShopAddress(Family::kTmall, Template::kNeither, Encoding::kGbk)));
    auto* button = Find<QPushButton>(*window, "按钮1");
    QElapsedTimer timer;
    timer.start();
    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY2(timer.elapsed() < 20000, "the click must end well within its downloads' time");
    QVERIFY(window->GetControlText(qv::Control::编辑框2).Length() > (6 << 20));  // the whole page (in GBK), kept
    QVERIFY(Find<QLineEdit>(*window, "编辑框2")->text().size() <= 32 * 1024);
    QVERIFY(button->isEnabled());
  }

  void failingAddressLeavesTheButtonUsable() {
    auto window = AnalysisWindow();
    Find<QLineEdit>(*window, "编辑框1")->setText(QStringLiteral("http://shop.taobao.localhost:1/"));
    auto* button = Find<QPushButton>(*window, "按钮1");
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(Find<QLabel>(*window, "透明标签5")->text(), QString::fromUtf8("店铺名称："));
    QVERIFY(button->isEnabled());
    QCOMPARE(button->text(), QString::fromUtf8("分析css"));
  }
};

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  FlowWindowTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "flow_window_test.moc"
