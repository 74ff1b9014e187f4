#include "apiclient.h"

#include "account.h"
#include "actions.h"
#include "lobby.h"

#include <QTest>

using namespace korvana;
using namespace korvana::test;

// Every refusal of the server over real HTTP, with its status and the words the client looks
// for in its text.
class TestHttpRefusals : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();

    void tokens_data();
    void tokens();
    void expiredToken();
    void malformedBodies_data();
    void malformedBodies();
    void unknownPathAndWrongMethod();
    void registration_data();
    void registration();
    void repeatedFailedLoginsAreSlowed();
    void adminRole();
    void rooms();
    void moves();
    void scores();

private:
    GameSessionResponse create(const QString &token, std::optional<qint64> limit = {});
    GameSessionResponse join(const QString &token, const QString &roomId);

    std::unique_ptr<ServerProcess> m_server;
    std::unique_ptr<ApiClient> m_api;
    QString m_anna;
};

namespace {

bool contains(const HttpResult &r, const QString &word)
{
    return r.error().toLower().contains(word.toLower());
}

} // namespace

void TestHttpRefusals::initTestCase()
{
    m_server = std::make_unique<ServerProcess>(
        QStringLiteral(KORVANA_SERVER_EXECUTABLE),
        fastServerArguments() << QStringLiteral("--admin") << QStringLiteral("Boss@Example.com"));
    QVERIFY2(m_server->start(), qPrintable(m_server->errorString()));
    m_api = std::make_unique<ApiClient>(m_server->baseUrl());
    m_anna = m_api->registerUser(QStringLiteral("Anna"));
    QVERIFY(!m_anna.isEmpty());
}

void TestHttpRefusals::cleanupTestCase()
{
    m_api.reset();
    m_server.reset();
}

GameSessionResponse TestHttpRefusals::create(const QString &token, std::optional<qint64> limit)
{
    const auto r =
        m_api->post(QStringLiteral("/api/game/session"), CreateSessionRequest{limit}, token);
    return r.as<GameSessionResponse>().value_or(GameSessionResponse{});
}

GameSessionResponse TestHttpRefusals::join(const QString &token, const QString &roomId)
{
    const auto r = m_api->post(QStringLiteral("/api/game/join"), JoinGameRequest{roomId}, token);
    return r.as<GameSessionResponse>().value_or(GameSessionResponse{});
}

void TestHttpRefusals::tokens_data()
{
    QTest::addColumn<QString>("method");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QByteArray>("authorization");
    const QList<QPair<QString, QString>> routes{
        {"GET", "/api/auth/me"},        {"GET", "/api/game/servers"},
        {"GET", "/api/game/session/x"}, {"GET", "/api/game/active-games"},
        {"POST", "/api/game/session"},  {"POST", "/api/game/join"},
        {"POST", "/api/game/rejoin"},   {"POST", "/api/game/place"},
        {"POST", "/api/game/pass"},     {"POST", "/api/game/vote-to-start"},
        {"POST", "/api/scores"}};
    for (const auto &[method, path] : routes) {
        QTest::addRow("%s %s without a token", qPrintable(method), qPrintable(path))
            << method << path << QByteArray();
        QTest::addRow("%s %s with an unknown token", qPrintable(method), qPrintable(path))
            << method << path << QByteArray("Bearer abcdefghijklmnopqrstuvwxyz0123456789ABCDEFG");
    }
    QTest::addRow("empty bearer") << "GET"
                                  << "/api/auth/me" << QByteArray("Bearer ");
    QTest::addRow("another scheme") << "GET"
                                    << "/api/auth/me" << QByteArray("Basic YTpi");
}

void TestHttpRefusals::tokens()
{
    QFETCH(QString, method);
    QFETCH(QString, path);
    QFETCH(QByteArray, authorization);
    QNetworkAccessManager manager;
    QNetworkRequest request(m_server->baseUrl().resolved(QUrl(path)));
    if (!authorization.isNull())
        request.setRawHeader("Authorization", authorization);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json"));
    std::unique_ptr<QNetworkReply> reply(
        manager.sendCustomRequest(request, method.toLatin1(), QByteArray("{}")));
    QVERIFY(QTest::qWaitFor([&] { return reply->isFinished(); }, 10'000));
    QCOMPARE(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 401);
    HttpResult result{401, reply->readAll(), {}};
    QVERIFY2(contains(result, QStringLiteral("token")), result.body.constData());
}

void TestHttpRefusals::expiredToken()
{
    ServerProcess server(QStringLiteral(KORVANA_SERVER_EXECUTABLE),
                         fastServerArguments()
                             << QStringLiteral("--token-ttl-seconds") << QStringLiteral("1"));
    QVERIFY2(server.start(), qPrintable(server.errorString()));
    ApiClient api(server.baseUrl());
    const QString token = api.registerUser(QStringLiteral("Ewa"));
    QCOMPARE(api.get(QStringLiteral("/api/auth/me"), token).status, 200);
    QTest::qWait(1100);
    const auto expired = api.get(QStringLiteral("/api/auth/me"), token);
    QCOMPARE(expired.status, 401);
    QVERIFY(contains(expired, QStringLiteral("token")));
    QVERIFY(contains(expired, QStringLiteral("wygasł")));
}

void TestHttpRefusals::malformedBodies_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QByteArray>("body");
    QTest::addRow("not JSON") << "/api/game/join" << QByteArray("{roomId: room-1}");
    QTest::addRow("empty body") << "/api/game/join" << QByteArray();
    QTest::addRow("an array") << "/api/game/join" << QByteArray(R"(["room-1"])");
    QTest::addRow("wrong type") << "/api/game/join" << QByteArray(R"({"roomId":1})");
    QTest::addRow("missing field")
        << "/api/game/place" << QByteArray(R"({"sessionId":"s","pieceId":"I1","row":0})");
    QTest::addRow("null field") << "/api/game/pass" << QByteArray(R"({"sessionId":null})");
    QTest::addRow("fraction") << "/api/game/place"
                              << QByteArray(R"({"sessionId":"s","pieceId":"I1","row":0.5,)"
                                            R"("col":0,"rotation":0})");
    QTest::addRow("bool as number")
        << "/api/game/vote-to-start" << QByteArray(R"({"sessionId":"s","enableBots":1})");
    QTest::addRow("time limit as text")
        << "/api/game/session" << QByteArray(R"({"timeLimit":"300"})");
    QTest::addRow("register with two members")
        << "/api/auth/register" << QByteArray(R"({"username":"x","email":"y"})");
    QTest::addRow("login with a number")
        << "/api/auth/login" << QByteArray(R"({"email":"a@b.pl","password":123456})");
}

void TestHttpRefusals::malformedBodies()
{
    QFETCH(QString, path);
    QFETCH(QByteArray, body);
    const auto r = m_api->post(path, body, m_anna);
    QCOMPARE(r.status, 400);
    QVERIFY2(!r.error().isEmpty(), r.body.constData());
}

void TestHttpRefusals::unknownPathAndWrongMethod()
{
    QCOMPARE(m_api->get(QStringLiteral("/api/nothing"), m_anna).status, 404);
    QCOMPARE(m_api->get(QStringLiteral("/"), m_anna).status, 404);
    QCOMPARE(m_api->get(QStringLiteral("/api/game/session/"), m_anna).status, 404);
    const auto wrong = m_api->post(QStringLiteral("/api/health"), QByteArray("{}"));
    QCOMPARE(wrong.status, 405);
    QVERIFY(!wrong.error().isEmpty());
    QCOMPARE(m_api->get(QStringLiteral("/api/game/join"), m_anna).status, 405);
    QCOMPARE(m_api->send("DELETE", QStringLiteral("/api/game/servers"), {}, m_anna).status, 405);
}

void TestHttpRefusals::registration_data()
{
    QTest::addColumn<QString>("username");
    QTest::addColumn<QString>("email");
    QTest::addColumn<QString>("password");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("word");
    QTest::addRow("name of 2") << "Al"
                               << "al@example.com"
                               << "haslo123" << 400 << "3 do 20";
    QTest::addRow("name of 21") << QString(21, u'x') << "x@example.com"
                                << "haslo123" << 400 << "3 do 20";
    QTest::addRow("no at sign") << "Olek"
                                << "olek.example.com"
                                << "haslo123" << 400 << "e-mail";
    QTest::addRow("no domain dot") << "Olek"
                                   << "olek@example"
                                   << "haslo123" << 400 << "e-mail";
    QTest::addRow("password of 5") << "Olek"
                                   << "olek@example.com"
                                   << "12345" << 400 << "6";
    QTest::addRow("taken e-mail") << "Inna"
                                  << "ANNA@example.com"
                                  << "haslo123" << 409 << "e-mail";
    QTest::addRow("taken name") << "aNNa"
                                << "other@example.com"
                                << "haslo123" << 409 << "nazwa";
}

void TestHttpRefusals::registration()
{
    QFETCH(QString, username);
    QFETCH(QString, email);
    QFETCH(QString, password);
    QFETCH(int, status);
    QFETCH(QString, word);
    const auto r = m_api->post(QStringLiteral("/api/auth/register"),
                               RegisterRequest{username, email, password});
    QCOMPARE(r.status, status);
    QVERIFY2(contains(r, word), qPrintable(r.error()));
}

void TestHttpRefusals::repeatedFailedLoginsAreSlowed()
{
    const QString token = m_api->registerUser(QStringLiteral("Lena"));
    QVERIFY(!token.isEmpty());
    const LoginRequest wrong{QStringLiteral("lena@example.com"), QStringLiteral("zlehaslo")};
    for (int i = 0; i < 10; ++i) {
        const auto r = m_api->post(QStringLiteral("/api/auth/login"), wrong);
        QCOMPARE(r.status, 401);
    }
    const auto limited = m_api->post(QStringLiteral("/api/auth/login"),
                                     LoginRequest{wrong.email, QStringLiteral("haslo123")});
    QCOMPARE(limited.status, 429);
    bool ok = false;
    QVERIFY(limited.retryAfter.toInt(&ok) > 0 && ok);
    // Another e-mail is not affected.
    QCOMPARE(
        m_api
            ->post(QStringLiteral("/api/auth/login"),
                   LoginRequest{QStringLiteral("anna@example.com"), QStringLiteral("haslo123")})
            .status,
        200);
}

void TestHttpRefusals::adminRole()
{
    const auto r =
        m_api->post(QStringLiteral("/api/auth/register"),
                    RegisterRequest{QStringLiteral("Szef"), QStringLiteral("boss@example.com"),
                                    QStringLiteral("haslo123")});
    const auto login = r.as<LoginResponse>();
    QVERIFY(login);
    QCOMPARE(login->user.role, QStringLiteral("admin"));
    QCOMPARE(m_api->get(QStringLiteral("/api/auth/me"), login->token).as<UserResponse>()->user.role,
             QStringLiteral("admin"));
}

void TestHttpRefusals::rooms()
{
    const QString bob = m_api->registerUser(QStringLiteral("Bob"));
    const QString cyryl = m_api->registerUser(QStringLiteral("Cyryl"));
    const QString dorota = m_api->registerUser(QStringLiteral("Dorota"));
    const QString edek = m_api->registerUser(QStringLiteral("Edek"));

    auto r = m_api->post(QStringLiteral("/api/game/join"), JoinGameRequest{"room-404"}, bob);
    QCOMPARE(r.status, 404);
    QVERIFY(contains(r, QStringLiteral("nie znaleziona")));
    r = m_api->post(QStringLiteral("/api/game/rejoin"), RejoinRequest{"room-404"}, bob);
    QCOMPARE(r.status, 404);
    QCOMPARE(m_api->post(QStringLiteral("/api/game/session"), CreateSessionRequest{-5}, bob).status,
             400);

    // A full room.
    const auto room = create(bob);
    QVERIFY(!room.roomId.isEmpty());
    QCOMPARE(join(cyryl, room.roomId).color, QStringLiteral("yellow"));
    QCOMPARE(join(dorota, room.roomId).color, QStringLiteral("red"));
    QCOMPARE(join(m_anna, room.roomId).color, QStringLiteral("green"));
    r = m_api->post(QStringLiteral("/api/game/join"), JoinGameRequest{room.roomId}, edek);
    QCOMPARE(r.status, 400);

    // Someone sitting elsewhere leaves a room that has not started; the others move up.
    const auto own = create(m_anna);
    QVERIFY(!own.roomId.isEmpty());
    const auto list = m_api->get(QStringLiteral("/api/game/servers"), bob).as<ServerListResponse>();
    const auto first = std::ranges::find(list->servers, room.roomId, &GameServer::id);
    QVERIFY(first != list->servers.end());
    QCOMPARE(first->playerCount, 3);

    // Under way: a newcomer is refused; a participant keeps their seat.
    const auto started = m_api
                             ->post(QStringLiteral("/api/game/vote-to-start"),
                                    VoteToStartRequest{room.sessionId, true}, bob)
                             .as<GameActionResponse>();
    QVERIFY(started && started->started == true);
    r = m_api->post(QStringLiteral("/api/game/join"), JoinGameRequest{room.roomId}, edek);
    QCOMPARE(r.status, 400);
    QVERIFY(contains(r, QStringLiteral("już się rozpoczęła")));
    r = m_api->post(QStringLiteral("/api/game/rejoin"), RejoinRequest{room.roomId}, edek);
    QCOMPARE(r.status, 404);
    const auto back =
        m_api->post(QStringLiteral("/api/game/rejoin"), RejoinRequest{room.roomId}, cyryl)
            .as<RejoinResponse>();
    QVERIFY(back);
    QCOMPARE(back->color, QStringLiteral("yellow"));

    // Still playing there: no other game.
    r = m_api->post(QStringLiteral("/api/game/session"), CreateSessionRequest{}, bob);
    QCOMPARE(r.status, 409);
    QVERIFY(contains(r, QStringLiteral("już jest w grze")));
    r = m_api->post(QStringLiteral("/api/game/join"), JoinGameRequest{own.roomId}, cyryl);
    QCOMPARE(r.status, 409);
    QVERIFY(contains(r, QStringLiteral("już jest w grze")));

    // Someone else's seat.
    r = m_api->get(QStringLiteral("/api/game/session/") + room.sessionId, edek);
    QCOMPARE(r.status, 403);
    r = m_api->post(QStringLiteral("/api/game/pass"), PassTurnRequest{room.sessionId}, cyryl);
    QCOMPARE(r.status, 403);
    r = m_api->post(QStringLiteral("/api/game/place"),
                    PlacePieceRequest{room.sessionId, "I1", 0, 0, 0}, edek);
    QCOMPARE(r.status, 403);
    r = m_api->post(QStringLiteral("/api/game/vote-to-start"), VoteToStartRequest{room.sessionId},
                    edek);
    QCOMPARE(r.status, 403);
    QCOMPARE(m_api->get(QStringLiteral("/api/game/session/nope"), edek).status, 404);
}

void TestHttpRefusals::moves()
{
    const QString franek = m_api->registerUser(QStringLiteral("Franek"));
    const auto room = create(franek);
    const auto started = m_api
                             ->post(QStringLiteral("/api/game/vote-to-start"),
                                    VoteToStartRequest{room.sessionId, true}, franek)
                             .as<GameActionResponse>();
    QVERIFY(started && started->success);

    const auto act = [&](const QString &path, const QByteArray &body) {
        const auto r = m_api->post(path, body, franek);
        if (r.status != 200)
            qWarning() << r.status << r.body;
        return r.as<GameActionResponse>().value_or(GameActionResponse{});
    };
    const auto place = [&](QString piece, qint64 row, qint64 col, qint64 rotation) {
        return act(QStringLiteral("/api/game/place"),
                   json::toJson(PlacePieceRequest{room.sessionId, piece, row, col, rotation}));
    };
    struct Case
    {
        const char *name;
        GameActionResponse answer;
    };
    const Case refused[] = {
        {"not on a corner", place("I1", 5, 5, 0)},
        {"off the board", place("I2", 0, 19, 0)},
        {"rotation 45", place("I1", 0, 0, 45)},
        {"rotation 360", place("I1", 0, 0, 360)},
        {"row beyond 32 bits", place("I1", 4294967296LL, 0, 0)},
        {"unknown piece", place("Q9", 0, 0, 0)},
    };
    for (const Case &c : refused) {
        QVERIFY2(!c.answer.success, c.name);
        QVERIFY2(c.answer.error && !c.answer.error->isEmpty(), c.name);
        QVERIFY2(c.answer.gameState, c.name);
    }
    // Pass, then try to move while out.
    const auto passed =
        act(QStringLiteral("/api/game/pass"), json::toJson(PassTurnRequest{room.sessionId}));
    QVERIFY(passed.success);
    const auto again =
        act(QStringLiteral("/api/game/pass"), json::toJson(PassTurnRequest{room.sessionId}));
    QVERIFY(!again.success);
    QVERIFY(again.error->contains(QStringLiteral("spasowałeś")));
    QVERIFY(!place("I1", 0, 0, 0).success);
}

void TestHttpRefusals::scores()
{
    const QString gosia = m_api->registerUser(QStringLiteral("Gosia"));
    const QString henryk = m_api->registerUser(QStringLiteral("Henryk"));
    const auto room = create(gosia);
    SaveScoreRequest save{room.roomId, 0, 1, 4};
    QCOMPARE(m_api->post(QStringLiteral("/api/scores"), save, gosia).status, 400); // not finished
    QCOMPARE(m_api->post(QStringLiteral("/api/scores"), save, henryk).status, 403);
    save.roomId = QStringLiteral("room-404");
    QCOMPARE(m_api->post(QStringLiteral("/api/scores"), save, gosia).status, 404);

    // The only person passes and the bots finish the game.
    QVERIFY(m_api
                ->post(QStringLiteral("/api/game/vote-to-start"),
                       VoteToStartRequest{room.sessionId, true}, gosia)
                .as<GameActionResponse>()
                ->success);
    QVERIFY(m_api->post(QStringLiteral("/api/game/pass"), PassTurnRequest{room.sessionId}, gosia)
                .as<GameActionResponse>()
                ->success);
    GameState state;
    QVERIFY(QTest::qWaitFor(
        [&] {
            state = m_api->get(QStringLiteral("/api/game/session/") + room.sessionId, gosia)
                        .as<SessionWrapper>()
                        ->gameState;
            return state.gameStatus == u"finished";
        },
        20'000));
    const auto rejoin =
        m_api->post(QStringLiteral("/api/game/rejoin"), RejoinRequest{room.roomId}, gosia);
    QCOMPARE(rejoin.status, 400);
    // Score 0 at the last place: a wrong count or score is refused, the right one kept once.
    QCOMPARE(
        m_api->post(QStringLiteral("/api/scores"), SaveScoreRequest{room.roomId, 0, 4, 3}, gosia)
            .status,
        400);
    QCOMPARE(
        m_api->post(QStringLiteral("/api/scores"), SaveScoreRequest{room.roomId, 7, 4, 4}, gosia)
            .status,
        400);
    const auto ok =
        m_api->post(QStringLiteral("/api/scores"), SaveScoreRequest{room.roomId, 0, 4, 4}, gosia);
    QVERIFY2(ok.status == 200 || ok.status == 201, ok.body.constData());
    const auto me = m_api->get(QStringLiteral("/api/auth/me"), gosia).as<UserResponse>();
    QCOMPARE(me->user.stats->gamesPlayed, 1);
    QCOMPARE(me->user.stats->gamesWon, 0);
}

QTEST_GUILESS_MAIN(TestHttpRefusals)
#include "tst_httprefusals.moc"
