// The waiting room drawn from game states of every shape: seats, votes, buttons and their rules.

#include "appharness.h"

#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QTest>

using namespace korvana;
using korvana::test::AppHarness;

namespace {

QVariantMap player(const QString &id, const QString &color)
{
    return {{QStringLiteral("playerId"), id},
            {QStringLiteral("name"), QStringLiteral("Gracz ") + id},
            {QStringLiteral("color"), color},
            {QStringLiteral("score"), 0},
            {QStringLiteral("pieces"), QVariantList()},
            {QStringLiteral("hasPassed"), false}};
}

QVariantList players(int count)
{
    static const QStringList colors{"blue", "yellow", "red", "green", "blue"};
    QVariantList list;
    for (int i = 0; i < count; ++i)
        list.append(player(QStringLiteral("p%1").arg(i + 1), colors.at(i % colors.size())));
    return list;
}

void collect(QQuickItem *item, const QString &name, QList<QQuickItem *> &found)
{
    if (!item)
        return;
    if (item->objectName() == name)
        found << item;
    const auto children = item->childItems();
    for (QQuickItem *child : children)
        collect(child, name, found);
}

QList<QQuickItem *> visibleItems(QQuickItem *root, const QString &name)
{
    QList<QQuickItem *> all;
    collect(root, name, all);
    QList<QQuickItem *> visible;
    for (QQuickItem *item : std::as_const(all)) {
        if (item->isVisible())
            visible << item;
    }
    return visible;
}

QQuickItem *visibleItem(QQuickItem *root, const QString &name)
{
    const auto items = visibleItems(root, name);
    return items.isEmpty() ? nullptr : items.constFirst();
}

QString text(QQuickItem *root, const QString &name)
{
    QQuickItem *item = visibleItem(root, name);
    return item ? item->property("text").toString() : QStringLiteral("<hidden>");
}

} // namespace

class TestWaitingRoom : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void seatsVotesAndButtons_data();
    void seatsVotesAndButtons();
    void ownCardIsOutlinedInTheSeatColour();

private:
    std::unique_ptr<QQuickItem> makeRoom(const QVariantMap &state, const QString &myPlayerId);

    std::unique_ptr<AppHarness> m_harness;
};

void TestWaitingRoom::initTestCase()
{
    // Nothing listens there: the room's connection badge simply reports no server.
    m_harness = std::make_unique<AppHarness>(QStringLiteral("http://127.0.0.1:9"));
}

std::unique_ptr<QQuickItem> TestWaitingRoom::makeRoom(const QVariantMap &state,
                                                      const QString &myPlayerId)
{
    QQmlComponent component(&m_harness->app().engine());
    component.setData("import QtQuick\nimport Korvana\n"
                      "WaitingRoomView { width: 390; height: 844 }",
                      QUrl(QStringLiteral("qrc:/tst_waitingroom.qml")));
    std::unique_ptr<QQuickItem> room(qobject_cast<QQuickItem *>(component.create()));
    if (!room) {
        qWarning() << component.errors();
        return room;
    }
    room->setProperty("gameState", state);
    room->setProperty("myPlayerId", myPlayerId);
    return room;
}

void TestWaitingRoom::seatsVotesAndButtons_data()
{
    QTest::addColumn<int>("playerCount");
    QTest::addColumn<QVariant>("startVotes"); // invalid: absent
    QTest::addColumn<QVariant>("votesCount");
    QTest::addColumn<QVariant>("votesNeeded");
    QTest::addColumn<QString>("myPlayerId");
    QTest::addColumn<int>("emptySlots");
    QTest::addColumn<bool>("startEnabled");
    QTest::addColumn<bool>("botsOffered");
    QTest::addColumn<QString>("votesText"); // "<hidden>" without the voting card
    QTest::addColumn<double>("barFraction");
    QTest::addColumn<bool>("votedCard");
    QTest::addColumn<QStringList>("states");

    const QVariant absent;
    const QString hidden = QStringLiteral("<hidden>");
    QTest::addRow("alone in the room") << 1 << absent << absent << absent << "p1" << 3 << false
                                       << true << hidden << 0.0 << false << QStringList{"Czeka..."};
    QTest::addRow("two players, I voted")
        << 2 << QVariant(QStringList{"p1"}) << QVariant(1) << QVariant(2) << "p1" << 2 << true
        << true << "1/2" << 0.5 << true << QStringList{"Gotowy!", "Czeka..."};
    QTest::addRow("two players, the other voted")
        << 2 << QVariant(QStringList{"p2"}) << QVariant(1) << QVariant(2) << "p1" << 2 << true
        << true << "1/2" << 0.5 << false << QStringList{"Czeka...", "Gotowy!"};
    QTest::addRow("four players: no free seat, no bots")
        << 4 << QVariant(QStringList{}) << QVariant(0) << QVariant(4) << "p3" << 0 << true << false
        << "0/4" << 0.0 << false << QStringList{"Czeka...", "Czeka...", "Czeka...", "Czeka..."};
    QTest::addRow("votes absent: nobody has voted")
        << 3 << absent << QVariant(2) << QVariant(3) << "p1" << 1 << true << true << "2/3"
        << 2.0 / 3 << false << QStringList{"Czeka...", "Czeka...", "Czeka..."};
    QTest::addRow("count without needed: no voting card")
        << 2 << QVariant(QStringList{"p2"}) << QVariant(1) << absent << "p1" << 2 << true << true
        << hidden << 0.0 << false << QStringList{"Czeka...", "Gotowy!"};
    QTest::addRow("three of three")
        << 3 << QVariant(QStringList{"p1", "p2", "p3"}) << QVariant(3) << QVariant(3) << "p2" << 1
        << true << true << "3/3" << 1.0 << true << QStringList{"Gotowy!", "Gotowy!", "Gotowy!"};
    QTest::addRow("none needed counts as one for the bar")
        << 2 << QVariant(QStringList{"p2"}) << QVariant(1) << QVariant(0) << "p1" << 2 << true
        << true << "1/0" << 1.0 << false << QStringList{"Czeka...", "Gotowy!"};
    QTest::addRow("no id of mine: the buttons stay")
        << 2 << QVariant(QStringList{"p1", "p2"}) << QVariant(2) << QVariant(2) << "" << 2 << true
        << true << "2/2" << 1.0 << false << QStringList{"Gotowy!", "Gotowy!"};
    QTest::addRow("five entries: no free seat")
        << 5 << absent << absent << absent << "p1" << 0 << true << false << hidden << 0.0 << false
        << QStringList{"Czeka...", "Czeka...", "Czeka...", "Czeka...", "Czeka..."};
}

void TestWaitingRoom::seatsVotesAndButtons()
{
    QFETCH(int, playerCount);
    QFETCH(QVariant, startVotes);
    QFETCH(QVariant, votesCount);
    QFETCH(QVariant, votesNeeded);
    QFETCH(QString, myPlayerId);
    QFETCH(int, emptySlots);
    QFETCH(bool, startEnabled);
    QFETCH(bool, botsOffered);
    QFETCH(QString, votesText);
    QFETCH(double, barFraction);
    QFETCH(bool, votedCard);
    QFETCH(QStringList, states);

    QVariantMap state{{QStringLiteral("roomId"), QStringLiteral("ROOM-42")},
                      {QStringLiteral("gameStatus"), QStringLiteral("waiting")},
                      {QStringLiteral("players"), players(playerCount)}};
    if (startVotes.isValid())
        state.insert(QStringLiteral("startVotes"), startVotes);
    if (votesCount.isValid())
        state.insert(QStringLiteral("startVotesCount"), votesCount);
    if (votesNeeded.isValid())
        state.insert(QStringLiteral("startVotesNeeded"), votesNeeded);

    const auto room = makeRoom(state, myPlayerId);
    QVERIFY(room);
    QCOMPARE(text(room.get(), QStringLiteral("roomIdText")), "ROOM-42");
    QCOMPARE(text(room.get(), QStringLiteral("playerCountText")),
             QStringLiteral("%1/4").arg(playerCount));
    QCOMPARE(visibleItems(room.get(), QStringLiteral("playerCard")).size(), playerCount);
    QCOMPARE(visibleItems(room.get(), QStringLiteral("emptyPlayerSlot")).size(), emptySlots);

    QStringList shownStates;
    for (QQuickItem *card : visibleItems(room.get(), QStringLiteral("playerCard")))
        shownStates << text(card, QStringLiteral("playerState"));
    QCOMPARE(shownStates, states);

    QCOMPARE(text(room.get(), QStringLiteral("votesText")), votesText);
    if (QQuickItem *bar = visibleItem(room.get(), QStringLiteral("votesBar"))) {
        QQuickItem *track = visibleItem(room.get(), QStringLiteral("votesTrack"));
        // The bar's width animates; its target is what counts.
        QTRY_COMPARE(bar->width(), track->width() * barFraction);
    }
    QCOMPARE(visibleItem(room.get(), QStringLiteral("votedCard")) != nullptr, votedCard);

    QQuickItem *start = visibleItem(room.get(), QStringLiteral("startGameButton"));
    QQuickItem *bots = visibleItem(room.get(), QStringLiteral("playWithBotsButton"));
    if (votedCard) {
        QVERIFY(!start);
        QVERIFY(!bots);
    } else {
        QVERIFY(start);
        QCOMPARE(start->isEnabled(), startEnabled);
        QCOMPARE(start->opacity(), startEnabled ? 1.0 : 0.5);
        QCOMPARE(bots != nullptr, botsOffered);
    }
    QVERIFY(visibleItem(room.get(), QStringLiteral("leaveRoomButton")));
}

void TestWaitingRoom::ownCardIsOutlinedInTheSeatColour()
{
    const QVariantMap state{{QStringLiteral("roomId"), QStringLiteral("R")},
                            {QStringLiteral("gameStatus"), QStringLiteral("waiting")},
                            {QStringLiteral("players"), players(3)}};
    const auto room = makeRoom(state, QStringLiteral("p3"));
    QVERIFY(room);
    const auto cards = visibleItems(room.get(), QStringLiteral("playerCard"));
    QCOMPARE(cards.size(), 3);
    for (int i = 0; i < cards.size(); ++i) {
        const bool isMe = i == 2;
        QCOMPARE(cards[i]->property("isMe").toBool(), isMe);
        QObject *border = cards[i]->property("border").value<QObject *>();
        QVERIFY(border);
        QCOMPARE(border->property("width").toReal(), isMe ? 2.0 : 1.0);
        const QColor color = border->property("color").value<QColor>();
        if (isMe) {
            // Red seat, at half opacity.
            QCOMPARE(color.rgb(), QColor::fromRgbF(0.9f, 0.25f, 0.3f).rgb());
            QCOMPARE(qRound(color.alphaF() * 100), 50);
        } else {
            QCOMPARE(qRound(color.alphaF() * 100), 5);
        }
    }
    // The avatar shows the first letter of the name in the seat's colour.
    QQuickItem *avatar = visibleItem(cards[1], QStringLiteral("avatar"));
    QVERIFY(avatar);
    QCOMPARE(avatar->property("color").value<QColor>().rgb(),
             QColor::fromRgbF(0.95f, 0.75f, 0.2f).rgb());
}

QTEST_MAIN(TestWaitingRoom)
#include "tst_waitingroom.moc"
