// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

// Polish texts of the server's answers. Refusals carry the words the client looks for
// ("token", "nie znaleziona", "już się rozpoczęła", "już jest w grze").
namespace korvana::api::texts {

inline QString tokenMissing()
{
    return QStringLiteral("Brak tokenu autoryzacyjnego");
}
inline QString tokenUnknown()
{
    return QStringLiteral("Nieprawidłowy token autoryzacyjny");
}
inline QString tokenExpired()
{
    return QStringLiteral("Token wygasł — zaloguj się ponownie");
}

inline QString badRequest(const QString &detail)
{
    return QStringLiteral("Nieprawidłowe dane żądania: ") + detail;
}
inline QString bodyTooLarge()
{
    return QStringLiteral("Treść żądania jest za duża (limit 64 KiB)");
}
inline QString headTooLarge()
{
    return QStringLiteral("Nagłówki żądania są za duże");
}
inline QString malformedHttp()
{
    return QStringLiteral("Nieprawidłowe żądanie HTTP");
}
inline QString unknownPath()
{
    return QStringLiteral("Nie znaleziono zasobu");
}
inline QString wrongMethod()
{
    return QStringLiteral("Niedozwolona metoda dla tego zasobu");
}
inline QString storeUnavailable()
{
    return QStringLiteral("Baza danych jest niedostępna");
}

inline QString usernameLength()
{
    return QStringLiteral("Nazwa użytkownika musi mieć od 3 do 20 znaków");
}
inline QString usernameCharacters()
{
    return QStringLiteral("Nazwa użytkownika zawiera niedozwolone znaki");
}
inline QString emailShape()
{
    return QStringLiteral("Nieprawidłowy adres e-mail");
}
inline QString passwordShort()
{
    return QStringLiteral("Hasło musi mieć co najmniej 6 znaków");
}
inline QString passwordLong()
{
    return QStringLiteral("Hasło może mieć najwyżej 128 znaków");
}
inline QString emailTaken()
{
    return QStringLiteral("Ten adres e-mail jest już zajęty");
}
inline QString usernameTaken()
{
    return QStringLiteral("Ta nazwa użytkownika jest już zajęta");
}
inline QString registered()
{
    return QStringLiteral("Konto zostało utworzone");
}
inline QString loggedIn()
{
    return QStringLiteral("Zalogowano pomyślnie");
}
inline QString badCredentials()
{
    return QStringLiteral("Nieprawidłowy e-mail lub hasło");
}
inline QString tooManyLogins(qint64 seconds)
{
    return QStringLiteral("Zbyt wiele nieudanych prób logowania. Spróbuj ponownie za %1 s")
        .arg(seconds);
}
inline QString busy()
{
    return QStringLiteral("Serwer jest zajęty — spróbuj ponownie za chwilę");
}
inline QString serverFailure()
{
    return QStringLiteral("Wewnętrzny błąd serwera");
}

inline QString roomNotFound()
{
    return QStringLiteral("Gra nie znaleziona");
}
inline QString roomFinished()
{
    return QStringLiteral("Gra nie znaleziona wśród otwartych — już się zakończyła");
}
inline QString gameUnderWay()
{
    return QStringLiteral("Gra już się rozpoczęła");
}
inline QString roomFull()
{
    return QStringLiteral("Pokój jest pełny — nie ma wolnych miejsc");
}
inline QString seatHeldElsewhere()
{
    return QStringLiteral("Gracz już jest w grze");
}
inline QString rejoinFinished()
{
    return QStringLiteral("Gra już się zakończyła");
}
inline QString notParticipant()
{
    return QStringLiteral("Gra nie znaleziona lub nie jesteś jej uczestnikiem");
}
inline QString sessionNotFound()
{
    return QStringLiteral("Sesja gry nie znaleziona");
}
inline QString notYourSeat()
{
    return QStringLiteral("To miejsce należy do innego gracza");
}
inline QString badTimeLimit()
{
    return QStringLiteral("Nieprawidłowy limit czasu (dozwolone 0–86400 sekund)");
}
inline QString rejoined()
{
    return QStringLiteral("Powrót do gry");
}
inline QString gameNotFinished()
{
    return QStringLiteral("Gra jeszcze się nie zakończyła");
}
inline QString scoreMismatch()
{
    return QStringLiteral("Wynik nie zgadza się z przebiegiem gry");
}
inline QString scoreSaved()
{
    return QStringLiteral("Wynik zapisany");
}
inline QString scoreAlreadySaved()
{
    return QStringLiteral("Wynik był już zapisany");
}
inline QString notParticipantOfScore()
{
    return QStringLiteral("Nie jesteś uczestnikiem tej gry");
}

} // namespace korvana::api::texts
