// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "keyvaluestore.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using korvana::KeyValueStore;

using Optional = std::optional<bool>;
Q_DECLARE_METATYPE(Optional)

// The store is read back by another process (the next start), so every value goes through the
// file, and a value read with the wrong type is absent rather than converted.
class TestKeyValueStore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void typesSurviveTheFile_data();
    void typesSurviveTheFile();
    void damagedFileReadsAsEmpty();

private:
    QTemporaryDir m_folder;
    QString m_file;
};

void TestKeyValueStore::init()
{
    static int n = 0;
    m_file = m_folder.filePath(QStringLiteral("store-%1.json").arg(++n));
}

void TestKeyValueStore::typesSurviveTheFile_data()
{
    // Written through the store, or behind its back with a raw QSettings on its file.
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<bool>("raw");
    QTest::addColumn<QVariant>("asString");
    QTest::addColumn<Optional>("asBoolean");
    const QString polish = QStringLiteral("Zażółć gęślą jaźń");
    QTest::addRow("text") << QVariant(polish) << false << QVariant(polish) << Optional();
    QTest::addRow("false") << QVariant(false) << false << QVariant() << Optional(false);
    QTest::addRow("raw number 1") << QVariant(1) << true << QVariant() << Optional();
    QTest::addRow("raw list") << QVariant(QVariantList{true}) << true << QVariant() << Optional();
}

void TestKeyValueStore::typesSurviveTheFile()
{
    QFETCH(QVariant, stored);
    QFETCH(bool, raw);
    QFETCH(QVariant, asString);
    QFETCH(Optional, asBoolean);
    if (raw) {
        QSettings(m_file, KeyValueStore::format()).setValue(QStringLiteral("key"), stored);
    } else {
        KeyValueStore store(m_file);
        if (stored.metaType().id() == QMetaType::Bool)
            store.setBoolean(QStringLiteral("key"), stored.toBool());
        else
            store.setString(QStringLiteral("key"), stored.toString());
    }
    KeyValueStore again(m_file);
    const auto text = again.string(QStringLiteral("key"));
    QCOMPARE(text ? QVariant(*text) : QVariant(), asString);
    QCOMPARE(again.boolean(QStringLiteral("key")), asBoolean);
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
