// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "format.h"
#include "language.h"

#include <QTest>

using korvana::ui::formatTimeLimit;

class TestFormat : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void timeLimit_data();
    void timeLimit();
    void statistics_data();
    void statistics();
};

void TestFormat::initTestCase()
{
    QVERIFY(korvana::ui::installLanguage(QStringLiteral("pl")));
}

void TestFormat::timeLimit_data()
{
    QTest::addColumn<qint64>("seconds");
    QTest::addColumn<QString>("text");
    QTest::addRow("no limit") << qint64(0) << QStringLiteral("Bez limitu");
    QTest::addRow("one second") << qint64(1) << QStringLiteral("1s");
    QTest::addRow("under a minute") << qint64(45) << QStringLiteral("45s");
    QTest::addRow("last seconds value") << qint64(59) << QStringLiteral("59s");
    QTest::addRow("one minute") << qint64(60) << QStringLiteral("1 min");
    QTest::addRow("minutes round down") << qint64(119) << QStringLiteral("1 min");
    QTest::addRow("five minutes") << qint64(300) << QStringLiteral("5 min");
    QTest::addRow("last minutes value") << qint64(3599) << QStringLiteral("59 min");
    QTest::addRow("one hour") << qint64(3600) << QStringLiteral("1h");
    QTest::addRow("hours round down") << qint64(5400) << QStringLiteral("1h");
    QTest::addRow("a day") << qint64(86400) << QStringLiteral("24h");
    QTest::addRow("negative reads as no limit") << qint64(-30) << QStringLiteral("Bez limitu");
}

void TestFormat::timeLimit()
{
    QFETCH(qint64, seconds);
    QFETCH(QString, text);
    QCOMPARE(formatTimeLimit(seconds), text);
}

void TestFormat::statistics_data()
{
    QTest::addColumn<qint64>("played");
    QTest::addColumn<qint64>("won");
    QTest::addColumn<QString>("text");
    QTest::addRow("one") << qint64(1) << qint64(1) << QStringLiteral("1 gra • 1 wygrana");
    QTest::addRow("two to four") << qint64(2) << qint64(3) << QStringLiteral("2 gry • 3 wygrane");
    QTest::addRow("five and none")
        << qint64(5) << qint64(0) << QStringLiteral("5 gier • 0 wygranych");
    QTest::addRow("twelve to fourteen")
        << qint64(12) << qint64(14) << QStringLiteral("12 gier • 14 wygranych");
    QTest::addRow("twenty-two") << qint64(22) << qint64(5)
                                << QStringLiteral("22 gry • 5 wygranych");
    QTest::addRow("hundred and twelve")
        << qint64(112) << qint64(104) << QStringLiteral("112 gier • 104 wygrane");
}

// The lobby's line, as LobbyView writes it: the Polish plural forms come from the catalogue.
void TestFormat::statistics()
{
    QFETCH(qint64, played);
    QFETCH(qint64, won);
    QFETCH(QString, text);
    const auto count = [](const char *source, qint64 n) {
        return QCoreApplication::translate("LobbyView", source, "", int(n));
    };
    QCOMPARE(count("%n gier", played) + QStringLiteral(" • ") + count("%n wygranych", won), text);
}

QTEST_GUILESS_MAIN(TestFormat)
#include "tst_format.moc"
