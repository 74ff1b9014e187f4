#include "pathmonitor.h"

#include <QSignalSpy>
#include <QTest>

using korvana::QtPathMonitor;
using Reachability = QNetworkInformation::Reachability;

class TestPathMonitor : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void withoutBackendReportsOneUsablePathAfterStart();
    void withWhateverLoadsReportsOnceAfterStart();
    void stopBeforeTheFirstReportSilencesIt();
    void onlyDisconnectedIsUnusable_data();
    void onlyDisconnectedIsUnusable();
};

void TestPathMonitor::withoutBackendReportsOneUsablePathAfterStart()
{
    QtPathMonitor monitor(QtPathMonitor::Backend::None);
    QSignalSpy spy(&monitor, &korvana::PathMonitor::pathChanged);
    monitor.start();
    monitor.start();          // a second start is not a second monitor
    QCOMPARE(spy.count(), 0); // never from inside start()
    QTRY_COMPARE(spy.count(), 1);
    QCOMPARE(spy.first().first().toBool(), true);
    QTest::qWait(100);
    QCOMPARE(spy.count(), 1);
}

void TestPathMonitor::withWhateverLoadsReportsOnceAfterStart()
{
    // Here (a container or a desktop) either a backend loads or none does; both must give one
    // first report that agrees with the backend, if any.
    QtPathMonitor monitor;
    QSignalSpy spy(&monitor, &korvana::PathMonitor::pathChanged);
    monitor.start();
    QTRY_VERIFY(spy.count() >= 1);
    const auto *information = QNetworkInformation::instance();
    const bool expected = information ? QtPathMonitor::isUsable(information->reachability()) : true;
    QCOMPARE(spy.first().first().toBool(), expected);
}

void TestPathMonitor::stopBeforeTheFirstReportSilencesIt()
{
    QtPathMonitor monitor(QtPathMonitor::Backend::None);
    QSignalSpy spy(&monitor, &korvana::PathMonitor::pathChanged);
    monitor.start();
    monitor.stop();
    QTest::qWait(100);
    QCOMPARE(spy.count(), 0);

    monitor.start();
    QTRY_COMPARE(spy.count(), 1);
}

void TestPathMonitor::onlyDisconnectedIsUnusable_data()
{
    QTest::addColumn<Reachability>("reachability");
    QTest::addColumn<bool>("usable");
    QTest::addRow("online") << Reachability::Online << true;
    QTest::addRow("site (LAN server)") << Reachability::Site << true;
    QTest::addRow("local (loopback server)") << Reachability::Local << true;
    QTest::addRow("unknown") << Reachability::Unknown << true;
    QTest::addRow("disconnected") << Reachability::Disconnected << false;
}

void TestPathMonitor::onlyDisconnectedIsUnusable()
{
    QFETCH(Reachability, reachability);
    QFETCH(bool, usable);
    QCOMPARE(QtPathMonitor::isUsable(reachability), usable);
}

QTEST_GUILESS_MAIN(TestPathMonitor)
#include "tst_pathmonitor.moc"
