// Stands in for korvana-server in ServerProcess's own test: takes the same options, appends its
// arguments to the --db file (so the test sees what it was started with, and on which database)
// and answers every HTTP request with 200 "ok".
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    const QCommandLineOption port(QStringLiteral("port"), QString(), QStringLiteral("port"));
    const QCommandLineOption db(QStringLiteral("db"), QString(), QStringLiteral("file"));
    const QCommandLineOption delay(QStringLiteral("bot-delay-ms"), QString(), QStringLiteral("ms"));
    const QCommandLineOption seed(QStringLiteral("seed"), QString(), QStringLiteral("n"));
    const QCommandLineOption silent(QStringLiteral("silent"));
    parser.addOptions({port, db, delay, seed, silent});
    parser.process(app);

    QFile log(parser.value(db));
    if (!log.open(QIODevice::Append))
        return 2;
    log.write(app.arguments().mid(1).join(u' ').toUtf8() + '\n');
    log.close();

    QTcpServer server;
    if (!server.listen(QHostAddress::LocalHost, quint16(parser.value(port).toUInt())))
        return 3;
    QObject::connect(&server, &QTcpServer::newConnection, [&server] {
        while (QTcpSocket *socket = server.nextPendingConnection()) {
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket] {
                if (!socket->readAll().contains("\r\n\r\n"))
                    return;
                socket->write(
                    "HTTP/1.1 200 OK\r\nContent-Length: 2\r\nConnection: close\r\n\r\nok");
                socket->disconnectFromHost();
            });
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
    std::fputs("starting up\n", stdout);
    if (!parser.isSet(silent))
        std::printf("listening on http://127.0.0.1:%d\n", int(server.serverPort()));
    std::fflush(stdout);
    return app.exec();
}
