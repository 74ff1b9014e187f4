// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "korvanaapp.h"

#include <QJsonObject>
#include <QList>
#include <QQuickItem>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <chrono>
#include <memory>

namespace korvana {
class KeyValueStore;
class PathMonitor;
} // namespace korvana

namespace korvana::test {

class ScriptedHttpServer;

// The real client root (KorvanaApp with its QML) against a given server, with its key-value
// store in a file of the test's choosing, and helpers to find and press what is on screen.
class AppHarness
{
public:
    // storePath empty: a fresh store in a temporary folder.
    // serverUrl empty: the stored server choice, with the server on this computer started as
    // local says.
    explicit AppHarness(const QString &serverUrl, const QString &storePath = {},
                        PathMonitor *monitor = nullptr,
                        std::optional<LocalServer::Options> local = std::nullopt);
    ~AppHarness();
    AppHarness(const AppHarness &) = delete;
    AppHarness &operator=(const AppHarness &) = delete;

    // Opens the window; false when its QML could not be loaded.
    bool load();

    [[nodiscard]] KorvanaApp &app() { return *m_app; }
    [[nodiscard]] QQuickWindow *window() const { return m_app->window(); }
    // The screens shown since load(), in order, starting with "launch".
    [[nodiscard]] QStringList screenHistory() const { return m_history; }
    // QML warnings and errors seen so far, one line each.
    [[nodiscard]] QStringList qmlWarnings() const { return m_warnings; }

    // The object of that objectName anywhere in the window (screens, sheets, alerts), or null.
    [[nodiscard]] QObject *find(const QString &objectName) const;
    [[nodiscard]] QQuickItem *item(const QString &objectName) const;
    // Every visible item of that objectName, in tree order, and their texts.
    [[nodiscard]] QList<QQuickItem *> visibleItems(const QString &objectName) const;
    [[nodiscard]] QStringList texts(const QString &objectName) const;
    // The first visible one's text, or "<hidden>".
    [[nodiscard]] QString text(const QString &objectName) const;
    // A popup (alert, dialog, sheet) of that objectName is shown.
    [[nodiscard]] bool isOpen(const QString &objectName) const;
    // The routing view's choice: "launch", "login", "lobby" or "game".
    [[nodiscard]] QString currentScreen() const;
    // Ends the launch screen at once, as its own completion would.
    void completeLaunch();
    // Waits until the routing view shows that screen and its item exists.
    bool waitForScreen(const QString &screen,
                       std::chrono::milliseconds timeout = std::chrono::seconds(10));

    // Scrolls the item into view if it sits in a scrolled page, then clicks its centre.
    bool click(QQuickItem *item);
    bool click(const QString &objectName) { return click(item(objectName)); }
    // Gives the item keyboard focus and types text as key presses.
    void type(QQuickItem *item, const QString &text);
    // Presses a key in the window.
    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

private:
    QTemporaryDir m_dir;
    std::unique_ptr<KeyValueStore> m_store;
    std::unique_ptr<KorvanaApp> m_app;
    QStringList m_warnings;
    QStringList m_history;
};

// A client signed in with a token the scripted server accepts, past the launch screen, in the
// lobby (its store in `folder`); null when it did not get there.
std::unique_ptr<AppHarness> openSignedInLobby(const ScriptedHttpServer &server,
                                              const QString &folder,
                                              PathMonitor *monitor = nullptr);

// Registers name (e-mail name@example.pl, password "haslo123") on a real server and leaves its
// token in the store file, so that a client started on that store is signed in. False on failure.
bool signUpInto(const QString &serverUrl, const QString &name, const QString &storePath);

// The JSON bodies of the requests the scripted server received on `path`, in order.
QList<QJsonObject> bodiesOf(const ScriptedHttpServer &server, const QString &path);

} // namespace korvana::test
