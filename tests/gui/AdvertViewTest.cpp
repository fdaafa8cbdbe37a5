// The advert pane against a local web server that behaves as a hostile one would: a page that
// never ends, pictures on this machine's disk, silence, a slow drip, the proxy of the options.
#include <QBuffer>
#include <QImage>
#include <QNetworkProxy>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "core/TempFolder.h"
#include "gui/LocalHttpServer.h"
#include "gui/service/AdvertPageCheck.h"
#include "gui/service/AdvertView.h"

using namespace vantrel;
using namespace vantrel::gui;
using namespace vantrel::test;

namespace {

constexpr int kGenerous = 30000;  // ms: a bound for a hung view, never a measure of speed

QByteArray Png(QColor colour, int width = 40, int height = 40) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

bool Shows(AdvertView& view, QColor colour) {
    const QImage shot = view.viewport()->grab().toImage();
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            if (shot.pixelColor(x, y) == colour) return true;
    return false;
}

// A FIFO that notes whether anyone opened it for reading: a writer keeps waiting on it in a
// thread (so that a reader that opens it is never stuck), and the end of the test lets that
// writer go without reading anything.
class WatchedFifo {
public:
    explicit WatchedFifo(std::string path) : path_(std::move(path)) {
        ::mkfifo(path_.c_str(), 0600);
        writer_ = std::thread([this] {
            while (!released_) {
                const int fd = ::open(path_.c_str(), O_WRONLY);
                if (fd < 0) break;
                if (!released_) {
                    opened = true;
                    static_cast<void>(::write(fd, "x", 1));
                }
                ::close(fd);
            }
            ended_ = true;
        });
    }
    ~WatchedFifo() {
        released_ = true;
        while (!ended_) {  // each opening lets a waiting open of the writer return
            const int fd = ::open(path_.c_str(), O_RDONLY | O_NONBLOCK);
            if (fd >= 0) ::close(fd);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        writer_.join();
    }
    const std::string& Path() const { return path_; }
    std::atomic<bool> opened{false};

private:
    std::string path_;
    std::atomic<bool> released_{false};
    std::atomic<bool> ended_{false};
    std::thread writer_;
};

}  // namespace

class AdvertViewTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        qunsetenv("VANTREL_NETWORK_TIMEOUTS");
        qunsetenv("http_proxy");
    }

    void anEndlessPageIsCutAtTheCap() {
        LocalHttpServer server;
        server.Add("/advert", {LocalHttpServer::Kind::Endless});
        AdvertView view;
        view.show();
        qint64 mostHeld = 0;
        QTimer sampler;
        QObject::connect(&sampler, &QTimer::timeout, [&] { mostHeld = std::max(mostHeld, view.HeldBytes()); });
        sampler.start(1);
        view.Load(QUrl(server.Url("/advert")), "");
        QTRY_VERIFY_WITH_TIMEOUT(!view.Busy(), kGenerous);
        QTRY_COMPARE_WITH_TIMEOUT(server.closedByClient, 1, kGenerous);
        QVERIFY2(mostHeld <= AdvertLimits{}.pageBytes, QByteArray::number(mostHeld));
        // What the system's socket buffers hold aside, the client stopped reading near the cap.
        QVERIFY2(server.endlessBytes < 24 << 20, QByteArray::number(server.endlessBytes));
        QVERIFY(view.toPlainText().isEmpty());  // a page over the cap is not shown at all
        QCOMPARE(view.HeldBytes(), 0);
    }

    // Nothing named in the page is read from this machine, whatever the form of its name, and
    // the document gets an answer that stops it from looking for the file itself.
    void localPicturesAreNeverRead_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("file URL of a regular file") << "file://%file";
        QTest::newRow("file URL of a FIFO") << "file://%fifo";
        QTest::newRow("plain path of a FIFO") << "%fifo";
        QTest::newRow("endless device") << "file:///dev/zero";
        QTest::newRow("resource of the program") << "qrc:/app/vantrel-16.png";
        QTest::newRow("data") << "data:image/png;base64," + QString::fromLatin1(Png(Qt::red).toBase64());
    }
    void localPicturesAreNeverRead() {
        QFETCH(QString, name);
        TempFolder folder;
        const std::string file = folder.Write("picture.png", Png(Qt::red).toStdString());
        WatchedFifo fifo(folder.Path() + "fifo");
        name.replace("%file", QString::fromStdString(file)).replace("%fifo", QString::fromStdString(fifo.Path()));

        LocalHttpServer server;
        server.Add("/advert", {LocalHttpServer::Kind::Body, "<p>Prints</p><img src=\"" + name.toUtf8() + "\">"});
        AdvertView view;
        view.show();
        view.Load(QUrl(server.Url("/advert")), "");
        QTRY_VERIFY_WITH_TIMEOUT(!view.Busy(), kGenerous);
        QVERIFY(view.toPlainText().startsWith("Prints"));  // the page itself is shown
        QVERIFY(!Shows(view, Qt::red));
        // The document gets a blank stand-in, which stops it from looking for the file itself.
        const QImage found = view.document()->resource(QTextDocument::ImageResource, QUrl(name)).value<QImage>();
        QCOMPARE(found.size(), QSize(1, 1));
        QVERIFY(!fifo.opened);
    }

    // A silent server trips the inactivity time-out; one that drips a byte now and then, the
    // deadline of the whole fetch.
    void aSilentOrDrippingServerIsGivenUp_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("deadlineMs");
        QTest::newRow("silent") << int(LocalHttpServer::Kind::Silent) << 120000;
        QTest::newRow("drip") << int(LocalHttpServer::Kind::Drip) << 1000;
    }
    void aSilentOrDrippingServerIsGivenUp() {
        QFETCH(int, kind);
        QFETCH(int, deadlineMs);
        qputenv("VANTREL_NETWORK_TIMEOUTS", "0.3,0.3");
        LocalHttpServer server;
        server.Add("/advert", {LocalHttpServer::Kind(kind)});
        AdvertView view;
        AdvertLimits limits;
        limits.deadline = std::chrono::milliseconds(deadlineMs);
        view.SetLimits(limits);
        view.Load(QUrl(server.Url("/advert")), "");
        QTRY_VERIFY_WITH_TIMEOUT(!view.Busy(), kGenerous);
        QTRY_COMPARE_WITH_TIMEOUT(server.closedByClient, 1, kGenerous);
        QVERIFY(view.toPlainText().isEmpty());
        QCOMPARE(view.HeldBytes(), 0);
    }

    void webPicturesAreFetchedWithinTheirCapsAndShown() {
        LocalHttpServer server;
        QByteArray page = "<p>Prints</p><img src=\"red.png\"><img src=\"" + server.Url("/blue.png") +
                          "\"><img src=\"/big.png\">";
        for (int i = 0; i < 40; ++i) page += "<img src=\"/other" + QByteArray::number(i) + ".png\">";
        server.Add("/advert", {LocalHttpServer::Kind::Body, page});
        server.Add("/red.png", {LocalHttpServer::Kind::Body, Png(Qt::red), "image/png"});
        server.Add("/blue.png", {LocalHttpServer::Kind::Body, Png(Qt::blue), "image/png"});
        // Over the cap of a picture: refused on its announced length, never decoded.
        server.Add("/big.png", {LocalHttpServer::Kind::Body, Png(Qt::green) + QByteArray(2 << 20, '\0'), "image/png"});
        AdvertView view;
        view.resize(630, 346);
        view.show();
        view.Load(QUrl(server.Url("/advert")), "");
        QTRY_VERIFY_WITH_TIMEOUT(!view.Busy(), kGenerous);
        QTRY_VERIFY_WITH_TIMEOUT(Shows(view, Qt::red) && Shows(view, Qt::blue), kGenerous);
        QVERIFY(!Shows(view, Qt::green));
        QVERIFY(server.requests.contains("GET /big.png HTTP/1.1"));
        QCOMPARE(server.requests.size(), 1 + AdvertLimits{}.images);  // the page and 32 pictures
    }

    void theOptionsProxyIsUsedAndTheEnvironmentsIsNot() {
        LocalHttpServer server, proxy;
        server.Add("/advert", {LocalHttpServer::Kind::Body, "<p>Prints</p>"});
        AdvertView view;
        view.Load(QUrl(server.Url("/advert")), "127.0.0.1:" + std::to_string(proxy.Port()));
        QTRY_VERIFY_WITH_TIMEOUT(!view.Busy(), kGenerous);
        QCOMPARE(proxy.requests, QList<QByteArray>{"GET " + server.Url("/advert") + " HTTP/1.1"});
        QVERIFY(server.requests.isEmpty());

        // A proxy address that cannot be used: nothing goes around it.
        view.Load(QUrl(server.Url("/advert")), "127.0.0.1:port");
        QVERIFY(!view.Busy());
        QVERIFY(server.requests.isEmpty());

        // Unticked: a direct connection, although the environment names a proxy.
        qputenv("http_proxy", proxy.Url(""));
        QNetworkProxyFactory::setUseSystemConfiguration(true);
        view.Load(QUrl(server.Url("/advert")), "");
        QTRY_VERIFY_WITH_TIMEOUT(!view.Busy(), kGenerous);
        QVERIFY(view.toPlainText().startsWith("Prints"));
        QCOMPARE(proxy.requests.size(), 1);
    }

    // Shapes that the text browser would take seconds or minutes to lay out are refused; an
    // ordinary page, with a long style sheet and unclosed paragraphs and cells, is not.
    void pageShapes_data() {
        QTest::addColumn<QByteArray>("page");
        QTest::addColumn<bool>("fits");
        const QByteArray ordinary =
            "<!DOCTYPE html><html><head><style>" + QByteArray("a{color:#123456}").repeated(100) +
            "</style></head><body><!-- <table><table><table> --><table><tr><td><img src=\"a.png\"/><td>Prints "
            "<a href=\"http://x.test/a?b=c\">here</a><tr><td><p>Ten photos<p>Free delivery<br></table></body></html>";
        QTest::newRow("ordinary page") << ordinary << true;
        QTest::newRow("nested tables") << QByteArray("<table><tr><td>").repeated(270) << false;
        QTest::newRow("nested tables in capitals") << QByteArray("<TABLE><TR><TD>").repeated(3) << false;
        QTest::newRow("deep elements") << QByteArray("<div>").repeated(17) << false;
        QTest::newRow("unclosed inline elements") << QByteArray("<b>x").repeated(17) << false;
        QTest::newRow("one long word") << QByteArray(201, 'y') << false;
        QTest::newRow("much text") << QByteArray("word ").repeated(14000) << false;
        QTest::newRow("many tags") << QByteArray("<td>x").repeated(2001) << false;
        QTest::newRow("tables after a style without end") << "<style>x" + QByteArray("<table>").repeated(3) << false;
    }
    void pageShapes() {
        QFETCH(QByteArray, page);
        QFETCH(bool, fits);
        QCOMPARE(PageShapeFits(page), fits);
    }

    void aPageTooCostlyToLayOutLeavesThePaneEmpty() {
        LocalHttpServer server;
        server.Add("/advert", {LocalHttpServer::Kind::Body, QByteArray("<table><tr><td>x").repeated(300)});
        AdvertView view;
        view.show();
        view.Load(QUrl(server.Url("/advert")), "");
        QTRY_VERIFY_WITH_TIMEOUT(!view.Busy(), kGenerous);
        QVERIFY(view.toPlainText().isEmpty());
        QCOMPARE(view.HeldBytes(), 0);
    }

    void clearGivesUpAPageUnderWay() {
        LocalHttpServer server;
        server.Add("/advert", {LocalHttpServer::Kind::Silent});
        AdvertView view;
        view.Load(QUrl(server.Url("/advert")), "");
        QTRY_COMPARE_WITH_TIMEOUT(server.requests.size(), 1, kGenerous);
        view.Clear();
        QVERIFY(!view.Busy());
        QTRY_COMPARE_WITH_TIMEOUT(server.closedByClient, 1, kGenerous);
    }
};

QTEST_MAIN(AdvertViewTest)
#include "AdvertViewTest.moc"
