// The game screen's header drawn from game states: the clock and its colours, the turn line, the
// chips with "Ty" and shortened names, and the green outline on this player's turn.

#include "appharness.h"
#include "soundmanager.h"

#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QTemporaryDir>
#include <QTest>

using namespace korvana;
using korvana::test::AppHarness;

namespace {

QVariantMap player(const QString &id, const QString &name, const QString &color, int score)
{
    return {{QStringLiteral("playerId"), id},           {QStringLiteral("name"), name},
            {QStringLiteral("color"), color},           {QStringLiteral("score"), score},
            {QStringLiteral("pieces"), QVariantList()}, {QStringLiteral("hasPassed"), false}};
}

// Four players, this client second.
QVariantMap fourPlayerGame(const QString &current)
{
    return {{QStringLiteral("roomId"), QStringLiteral("R")},
            {QStringLiteral("gameStatus"), QStringLiteral("in_progress")},
            {QStringLiteral("turnNumber"), 12},
            {QStringLiteral("timeLimit"), 0},
            {QStringLiteral("currentPlayerId"), current},
            {QStringLiteral("players"),
             QVariantList{player("p1", "Aleksandra", "blue", 14),
                          player("p2", "Bartłomiej", "yellow", 9), player("p3", "Celina", "red", 0),
                          player("p4", "Dominik", "mauve", 3)}}};
}

void collect(QQuickItem *item, const QString &name, QList<QQuickItem *> &found)
{
    if (!item)
        return;
    if (item->objectName() == name && item->isVisible())
        found << item;
    const auto children = item->childItems();
    for (QQuickItem *child : children)
        collect(child, name, found);
}

QList<QQuickItem *> visibleItems(QQuickItem *root, const QString &name)
{
    QList<QQuickItem *> found;
    collect(root, name, found);
    return found;
}

QStringList texts(QQuickItem *root, const QString &name)
{
    QStringList result;
    for (QQuickItem *item : visibleItems(root, name))
        result << item->property("text").toString();
    return result;
}

QColor color(QQuickItem *item, const char *property = "color")
{
    return item ? item->property(property).value<QColor>() : QColor();
}

} // namespace

class TestGameScreenHeader : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void clock_data();
    void clock();
    void chipsAndTurn_data();
    void chipsAndTurn();
    void soundTypesForQml();

private:
    std::unique_ptr<QQuickItem> makeHeader(const QVariantMap &state, const QString &myPlayerId);

    QTemporaryDir m_config;
    std::unique_ptr<AppHarness> m_harness;
};

void TestGameScreenHeader::initTestCase()
{
    // A SoundManager made by QML reads the process-wide store: keep it away from the user's.
    QVERIFY(m_config.isValid());
    qputenv("XDG_CONFIG_HOME", m_config.path().toUtf8());
    m_harness = std::make_unique<AppHarness>(QStringLiteral("http://127.0.0.1:9"));
}

std::unique_ptr<QQuickItem> TestGameScreenHeader::makeHeader(const QVariantMap &state,
                                                             const QString &myPlayerId)
{
    QQmlComponent component(&m_harness->app().engine());
    component.setData("import QtQuick\nimport Korvana\nGameHeaderCard { width: 366 }",
                      QUrl(QStringLiteral("qrc:/tst_gamescreenheader.qml")));
    std::unique_ptr<QQuickItem> header(qobject_cast<QQuickItem *>(component.create()));
    if (!header) {
        qWarning() << component.errors();
        return header;
    }
    header->setProperty("gameState", state);
    header->setProperty("myPlayerId", myPlayerId);
    return header;
}

void TestGameScreenHeader::clock_data()
{
    QTest::addColumn<int>("timeLimit");
    QTest::addColumn<QVariant>("remaining"); // invalid: absent
    QTest::addColumn<QString>("text");       // empty: no clock
    QTest::addColumn<QColor>("tone");
    QTest::addColumn<bool>("redCapsule");
    const QColor red("#ff453a");
    const QColor orange("#ff9f0a");
    const QColor white("#ffffff");
    QTest::addRow("no limit hides the time left") << 0 << QVariant(45) << "" << QColor() << false;
    QTest::addRow("limit without time left") << 300 << QVariant() << "" << QColor() << false;
    QTest::addRow("9 s red") << 300 << QVariant(9) << "9s" << red << true;
    QTest::addRow("29 s orange") << 300 << QVariant(29) << "29s" << orange << false;
    QTest::addRow("30 s white") << 300 << QVariant(30) << "30s" << white << false;
    QTest::addRow("75 s") << 300 << QVariant(75) << "1:15" << white << false;
}

void TestGameScreenHeader::clock()
{
    QFETCH(int, timeLimit);
    QFETCH(QVariant, remaining);
    QFETCH(QString, text);
    QFETCH(QColor, tone);
    QFETCH(bool, redCapsule);

    QVariantMap state = fourPlayerGame(QStringLiteral("p1"));
    state.insert(QStringLiteral("timeLimit"), timeLimit);
    if (remaining.isValid())
        state.insert(QStringLiteral("timeRemaining"), remaining);
    const auto header = makeHeader(state, QStringLiteral("p2"));
    QVERIFY(header);

    const auto capsules = visibleItems(header.get(), QStringLiteral("timerCapsule"));
    if (text.isEmpty()) {
        QVERIFY(capsules.isEmpty());
        return;
    }
    QCOMPARE(capsules.size(), 1);
    QCOMPARE(texts(header.get(), QStringLiteral("timerText")), QStringList{text});
    QCOMPARE(color(visibleItems(header.get(), QStringLiteral("timerText")).value(0)).rgb(),
             tone.rgb());
    QObject *border = capsules.first()->property("border").value<QObject *>();
    QCOMPARE(border->property("width").toReal(), redCapsule ? 1.0 : 0.0);
}

void TestGameScreenHeader::chipsAndTurn_data()
{
    QTest::addColumn<QString>("current");
    QTest::addColumn<QString>("turnText");
    QTest::addColumn<bool>("outlined");
    QTest::addRow("my turn") << "p2"
                             << "TWOJA TURA!" << true;
    QTest::addRow("another player's turn") << "p3"
                                           << "Celina" << false;
    QTest::addRow("nobody's turn") << ""
                                   << "<none>" << false;
}

void TestGameScreenHeader::chipsAndTurn()
{
    QFETCH(QString, current);
    QFETCH(QString, turnText);
    QFETCH(bool, outlined);

    QVariantMap state = fourPlayerGame(current);
    if (current.isEmpty())
        state.remove(QStringLiteral("currentPlayerId"));
    const auto header = makeHeader(state, QStringLiteral("p2"));
    QVERIFY(header);

    QCOMPARE(texts(header.get(), QStringLiteral("turnNumberText")), QStringList{"TURA 12"});
    const QStringList turn = texts(header.get(), QStringLiteral("currentTurnText"));
    QCOMPARE(turn.value(0, QStringLiteral("<none>")), turnText);

    // The second chip is this client's; a ten-letter name shows six.
    QCOMPARE(texts(header.get(), QStringLiteral("chipLabel")),
             QStringList({"Aleksa", "Ty", "Celina", "Domini"}));
    QCOMPARE(texts(header.get(), QStringLiteral("chipScore")), QStringList({"14", "9", "0", "3"}));
    // Seat colours on the scores; a colour name outside the four is white on this screen.
    const auto scores = visibleItems(header.get(), QStringLiteral("chipScore"));
    QCOMPARE(color(scores.at(0)).rgb(), QColor::fromRgbF(0.2f, 0.6f, 0.9f).rgb());
    QCOMPARE(color(scores.at(3)).rgb(), QColor(Qt::white).rgb());
    // The current player's chip is lighter.
    const auto chips = visibleItems(header.get(), QStringLiteral("playerChip"));
    QCOMPARE(chips.size(), 4);
    for (QQuickItem *chip : chips) {
        const bool isCurrent = chip->property("isCurrent").toBool();
        QCOMPARE(qRound(color(chip).redF() * 100), isCurrent ? 20 : 12);
    }

    QObject *border = header->property("border").value<QObject *>();
    const QColor outline = border->property("color").value<QColor>();
    QCOMPARE(outline.alpha() > 0, outlined);
}

// The screen makes its own SoundManager, and the feedback events have QML names.
void TestGameScreenHeader::soundTypesForQml()
{
    QQmlComponent component(&m_harness->app().engine());
    component.setData("import QtQuick\nimport Korvana\n"
                      "QtObject { property SoundManager sounds: SoundManager {}\n"
                      "           property int rotated: Feedback.Rotated\n"
                      "           property int finished: Feedback.GameFinished }",
                      QUrl(QStringLiteral("qrc:/tst_soundtypes.qml")));
    std::unique_ptr<QObject> object(component.create());
    QVERIFY2(object, qPrintable(component.errorString()));
    auto *sounds = object->property("sounds").value<SoundManager *>();
    QVERIFY(sounds);
    QVERIFY(sounds->isSoundEnabled());
    QCOMPARE(object->property("rotated").toInt(), int(feedback::Event::Rotated));
    QCOMPARE(object->property("finished").toInt(), int(feedback::Event::GameFinished));
}

QTEST_MAIN(TestGameScreenHeader)
#include "tst_gamescreenheader.moc"
