// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The peer of bench_startup: the least a Qt Quick Controls app does before its first frame
// (one window of the client's size with one button, in the client's style). Prints
// "first frame" when the window has shown its first frame, then quits.

#include <QGuiApplication>
#include <QQmlApplicationEngine>
#include <QQuickStyle>
#include <QQuickWindow>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    QQuickStyle::setStyle(QStringLiteral("Basic"));
    QQmlApplicationEngine engine;
    engine.loadData(R"(
        import QtQuick
        import QtQuick.Controls
        ApplicationWindow {
            width: 390; height: 844; visible: true; title: "peer"
            Button { anchors.centerIn: parent; text: "OK" }
        })");
    auto *window = engine.rootObjects().isEmpty()
                       ? nullptr
                       : qobject_cast<QQuickWindow *>(engine.rootObjects().constFirst());
    if (!window)
        return 1;
    QObject::connect(
        window, &QQuickWindow::frameSwapped, &app,
        [] {
            QTextStream(stdout) << "first frame" << Qt::endl;
            QCoreApplication::quit();
        },
        Qt::QueuedConnection);
    return QGuiApplication::exec();
}
