// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "operationstatus.h"

namespace korvana {

void OperationStatus::setLoading(bool value)
{
    if (value)
        ++m_loadingGeneration;
    if (m_isLoading == value)
        return;
    m_isLoading = value;
    Q_EMIT isLoadingChanged();
}

void OperationStatus::setErrorMessage(std::optional<QString> message)
{
    m_fromServerList = false;
    m_fromOutage = false;
    if (m_errorMessage == message)
        return;
    m_errorMessage = std::move(message);
    Q_EMIT errorMessageChanged();
}

void OperationStatus::setFailureMessage(QString message, const RequestError &error)
{
    setErrorMessage(std::move(message));
    m_fromOutage = std::holds_alternative<TransportError>(error);
}

void OperationStatus::setServerListAlert(QString message, const RequestError &error)
{
    setFailureMessage(std::move(message), error);
    m_fromServerList = true;
}

void OperationStatus::connectionRestored()
{
    if (m_fromOutage)
        setErrorMessage(std::nullopt);
}

} // namespace korvana
