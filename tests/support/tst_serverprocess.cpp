#include "serverprocess.h"

#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTest>

#include <memory>

using korvana::test::ServerProcess;

namespace {

QNetworkReply::NetworkError get(const QUrl &url)
{
    QNetworkAccessManager manager;
    QNetworkRequest request(url);
    request.setTransferTimeout(5000);
    std::unique_ptr<QNetworkReply> reply(manager.get(request));
    if (!QTest::qWaitFor([&] { return reply->isFinished(); }, 7000))
        return QNetworkReply::UnknownNetworkError;
    return reply->error();
}

QStringList startLines(const ServerProcess &server)
{
    QFile file(server.databasePath());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

} // namespace

class TestServerProcess : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startsWithTestOptionsAndAnnouncedUrl();
    void restartsOnTheSameDatabaseAndPortAfterAKill();
    void reportsAServerThatNeverListens();
    void reportsAMissingExecutable();
};

void TestServerProcess::startsWithTestOptionsAndAnnouncedUrl()
{
    ServerProcess server(QStringLiteral(FAKE_SERVER_EXECUTABLE),
                         {QStringLiteral("--seed"), QStringLiteral("7")});
    QVERIFY2(server.start(), qPrintable(server.errorString()));
    QVERIFY(server.isRunning());
    QCOMPARE(server.baseUrl().host(), QStringLiteral("127.0.0.1"));
    QVERIFY(server.port() != 0);
    QCOMPARE(get(server.baseUrl().resolved(QUrl(QStringLiteral("/api/health")))),
             QNetworkReply::NoError);
    QCOMPARE(startLines(server),
             QStringList{QStringLiteral("--port 0 --db %1 --bot-delay-ms 0 --seed 1 --seed 7")
                             .arg(server.databasePath())});
    QVERIFY(server.output().contains("starting up"));
}

void TestServerProcess::restartsOnTheSameDatabaseAndPortAfterAKill()
{
    ServerProcess server(QStringLiteral(FAKE_SERVER_EXECUTABLE));
    QVERIFY2(server.start(), qPrintable(server.errorString()));
    const QUrl url = server.baseUrl();

    server.kill();
    QVERIFY(!server.isRunning());
    QCOMPARE(get(url), QNetworkReply::ConnectionRefusedError);

    QVERIFY2(server.restart(), qPrintable(server.errorString()));
    QCOMPARE(server.baseUrl(), url);
    QCOMPARE(get(url), QNetworkReply::NoError);
    const QStringList lines = startLines(server);
    QCOMPARE(lines.size(), 2);
    QVERIFY(lines.at(1).startsWith(QStringLiteral("--port %1 --db ").arg(url.port())));
}

void TestServerProcess::reportsAServerThatNeverListens()
{
    ServerProcess server(QStringLiteral(FAKE_SERVER_EXECUTABLE), {QStringLiteral("--silent")});
    QVERIFY(!server.start(std::chrono::milliseconds(500)));
    QVERIFY(!server.isRunning());
    QVERIFY2(server.errorString().contains(QStringLiteral("listening")),
             qPrintable(server.errorString()));
}

void TestServerProcess::reportsAMissingExecutable()
{
    ServerProcess server(QStringLiteral("/nonexistent/korvana-server"));
    QVERIFY(!server.start());
    QVERIFY(!server.errorString().isEmpty());
}

QTEST_GUILESS_MAIN(TestServerProcess)
#include "tst_serverprocess.moc"
