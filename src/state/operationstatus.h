// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "networkservice.h"

#include <QObject>

#include <optional>

namespace korvana {

// What the player is told about games: one busy flag and one alert, shared by the lobby and the
// game being played, as the screens show only one of each.
class OperationStatus : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    [[nodiscard]] bool isLoading() const { return m_isLoading; }
    [[nodiscard]] const std::optional<QString> &errorMessage() const { return m_errorMessage; }
    // Bumped whenever an operation takes the busy flag.
    [[nodiscard]] quint64 loadingGeneration() const { return m_loadingGeneration; }
    [[nodiscard]] bool isServerListAlert() const { return m_fromServerList; }

    void setLoading(bool value);
    void setErrorMessage(std::optional<QString> message);
    // A failure's message; one about a failure below HTTP closes when the connection returns.
    void setFailureMessage(QString message, const RequestError &error);
    // The server list's own alert, which the list's next successful reload takes away.
    void setServerListAlert(QString message, const RequestError &error);
    // The server can be reached again: an alert about a failure below HTTP closes.
    void connectionRestored();

Q_SIGNALS:
    void isLoadingChanged();
    void errorMessageChanged();

private:
    bool m_isLoading = false;
    std::optional<QString> m_errorMessage;
    quint64 m_loadingGeneration = 0;
    bool m_fromServerList = false;
    bool m_fromOutage = false;
};

} // namespace korvana
