#include "keyvaluestore.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

using korvana::KeyValueStore;

using Optional = std::optional<bool>;
Q_DECLARE_METATYPE(Optional)

class TestKeyValueStore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void userStoreLivesUnderTheConfigHome();
    void valuesSurviveANewStore_data();
    void valuesSurviveANewStore();
    void booleanIsOnlyForRealBools_data();
    void booleanIsOnlyForRealBools();
    void stringIsOnlyForRealStrings();
    void removeForgetsTheKey();
    void storesOnOneFileSeeEachOtherAtOnce();
    void damagedFileReadsAsEmpty();

private:
    QTemporaryDir m_configHome;
    QString m_file;
};

void TestKeyValueStore::initTestCase()
{
    QVERIFY(m_configHome.isValid());
    // Before the first QSettings: Qt reads the location once per process.
    qputenv("XDG_CONFIG_HOME", m_configHome.path().toUtf8());
}

void TestKeyValueStore::init()
{
    static int n = 0;
    m_file = m_configHome.filePath(QStringLiteral("store-%1.json").arg(++n));
}

void TestKeyValueStore::userStoreLivesUnderTheConfigHome()
{
    KeyValueStore store;
    store.setBoolean(QStringLiteral("soundEnabled"), false);
    QCOMPARE(store.fileName(), m_configHome.filePath(QStringLiteral("Korvana/Korvana.json")));
    QVERIFY(QFile::exists(store.fileName()));
    QCOMPARE(KeyValueStore::shared().boolean(QStringLiteral("soundEnabled")), Optional(false));
}

void TestKeyValueStore::valuesSurviveANewStore_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addRow("token") << QVariant(QStringLiteral("eyJhbGciOi.J9.abc"));
    QTest::addRow("empty text") << QVariant(QString());
    QTest::addRow("Polish text") << QVariant(QStringLiteral("Zażółć gęślą jaźń"));
    QTest::addRow("text that looks like a bool") << QVariant(QStringLiteral("true"));
    QTest::addRow("true") << QVariant(true);
    QTest::addRow("false") << QVariant(false);
}

void TestKeyValueStore::valuesSurviveANewStore()
{
    QFETCH(QVariant, value);
    const bool isBool = value.metaType().id() == QMetaType::Bool;
    {
        KeyValueStore store(m_file);
        if (isBool)
            store.setBoolean(QStringLiteral("key"), value.toBool());
        else
            store.setString(QStringLiteral("key"), value.toString());
    }
    // Read the file itself too: another process starts from the disk, not from our cache.
    QFile file(m_file);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QJsonValue onDisk = QJsonDocument::fromJson(file.readAll()).object().value(u"key");
    QCOMPARE(onDisk.isBool(), isBool);

    KeyValueStore again(m_file);
    if (isBool) {
        QCOMPARE(again.boolean(QStringLiteral("key")), Optional(value.toBool()));
        QCOMPARE(again.string(QStringLiteral("key")), std::nullopt);
    } else {
        QCOMPARE(again.string(QStringLiteral("key")), std::optional(value.toString()));
        QCOMPARE(again.boolean(QStringLiteral("key")), std::nullopt);
    }
}

void TestKeyValueStore::booleanIsOnlyForRealBools_data()
{
    // Writes "soundEnabled" behind the store's back, with a raw QSettings on its file.
    QTest::addColumn<std::function<void(QSettings &)>>("write");
    QTest::addColumn<Optional>("expected");

    auto put = [](QVariant v) {
        return std::function<void(QSettings &)>(
            [v](QSettings &s) { s.setValue(QStringLiteral("soundEnabled"), v); });
    };
    QTest::addRow("absent") << std::function<void(QSettings &)>([](QSettings &) {}) << Optional();
    QTest::addRow("Bool true") << put(true) << Optional(true);
    QTest::addRow("Bool false") << put(false) << Optional(false);
    QTest::addRow("text false") << put(QStringLiteral("false")) << Optional();
    QTest::addRow("text true") << put(QStringLiteral("true")) << Optional();
    QTest::addRow("number 0") << put(0) << Optional();
    QTest::addRow("number 1") << put(1) << Optional();
    QTest::addRow("list") << put(QVariantList{true}) << Optional();
}

void TestKeyValueStore::booleanIsOnlyForRealBools()
{
    QFETCH(std::function<void(QSettings &)>, write);
    QFETCH(Optional, expected);
    {
        QSettings raw(m_file, KeyValueStore::format());
        write(raw);
    }
    KeyValueStore store(m_file);
    QCOMPARE(store.boolean(QStringLiteral("soundEnabled")), expected);
    QCOMPARE(store.booleanOr(QStringLiteral("soundEnabled"), true), expected.value_or(true));
}

void TestKeyValueStore::stringIsOnlyForRealStrings()
{
    {
        QSettings raw(m_file, KeyValueStore::format());
        raw.setValue(QStringLiteral("number"), 42);
    }
    KeyValueStore store(m_file);
    store.setBoolean(QStringLiteral("flag"), true);
    QCOMPARE(store.string(QStringLiteral("flag")), std::nullopt);
    QCOMPARE(store.string(QStringLiteral("number")), std::nullopt);
    QCOMPARE(store.string(QStringLiteral("absent")), std::nullopt);
}

void TestKeyValueStore::removeForgetsTheKey()
{
    {
        KeyValueStore store(m_file);
        store.setString(QStringLiteral("authToken"), QStringLiteral("t"));
        store.setBoolean(QStringLiteral("soundEnabled"), false);
        store.remove(QStringLiteral("authToken"));
        QCOMPARE(store.string(QStringLiteral("authToken")), std::nullopt);
    }
    KeyValueStore again(m_file);
    QCOMPARE(again.string(QStringLiteral("authToken")), std::nullopt);
    QCOMPARE(again.boolean(QStringLiteral("soundEnabled")), Optional(false));
}

void TestKeyValueStore::storesOnOneFileSeeEachOtherAtOnce()
{
    // The settings screen and the sound manager each hold a store on the same file.
    KeyValueStore settingsScreen(m_file);
    KeyValueStore soundManager(m_file);
    settingsScreen.setBoolean(QStringLiteral("soundEnabled"), false);
    QCOMPARE(soundManager.boolean(QStringLiteral("soundEnabled")), Optional(false));
    soundManager.setBoolean(QStringLiteral("soundEnabled"), true);
    QCOMPARE(settingsScreen.boolean(QStringLiteral("soundEnabled")), Optional(true));
}

void TestKeyValueStore::damagedFileReadsAsEmpty()
{
    QFile file(m_file);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(R"({"soundEnabled": false, "authToken": "t)");
    file.close();

    KeyValueStore store(m_file);
    QCOMPARE(store.boolean(QStringLiteral("soundEnabled")), std::nullopt);
    QCOMPARE(store.string(QStringLiteral("authToken")), std::nullopt);
}

QTEST_GUILESS_MAIN(TestKeyValueStore)
#include "tst_keyvaluestore.moc"
