// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "jsonfields.h"

#include <optional>

namespace korvana {

struct UserStats
{
    static constexpr const char *typeName = "UserStats";
    qint64 gamesPlayed = 0;
    qint64 gamesWon = 0;
    qint64 totalScore = 0;
    qint64 bestScore = 0;

    static auto fields()
    {
        return std::tuple{json::required("gamesPlayed", &UserStats::gamesPlayed),
                          json::required("gamesWon", &UserStats::gamesWon),
                          json::required("totalScore", &UserStats::totalScore),
                          json::required("bestScore", &UserStats::bestScore)};
    }
    bool operator==(const UserStats &) const = default;
};

struct User
{
    static constexpr const char *typeName = "User";
    qint64 id = 0;
    QString username;
    QString email;
    std::optional<QString> role;
    std::optional<UserStats> stats;

    static auto fields()
    {
        return std::tuple{
            json::required("id", &User::id), json::required("username", &User::username),
            json::required("email", &User::email), json::optional("role", &User::role),
            json::optional("stats", &User::stats)};
    }
    bool operator==(const User &) const = default;
};

struct LoginRequest
{
    static constexpr const char *typeName = "LoginRequest";
    QString email;
    QString password;

    static auto fields()
    {
        return std::tuple{json::required("email", &LoginRequest::email),
                          json::required("password", &LoginRequest::password)};
    }
};

// The registration body: exactly the three texts the player typed.
struct RegisterRequest
{
    static constexpr const char *typeName = "RegisterRequest";
    QString username;
    QString email;
    QString password;

    static auto fields()
    {
        return std::tuple{json::required("username", &RegisterRequest::username),
                          json::required("email", &RegisterRequest::email),
                          json::required("password", &RegisterRequest::password)};
    }
};

struct LoginResponse
{
    static constexpr const char *typeName = "LoginResponse";
    QString message;
    QString token;
    User user;

    static auto fields()
    {
        return std::tuple{json::required("message", &LoginResponse::message),
                          json::required("token", &LoginResponse::token),
                          json::required("user", &LoginResponse::user)};
    }
};

struct UserResponse
{
    static constexpr const char *typeName = "UserResponse";
    User user;

    static auto fields() { return std::tuple{json::required("user", &UserResponse::user)}; }
};

struct ErrorResponse
{
    static constexpr const char *typeName = "ErrorResponse";
    QString error;

    static auto fields() { return std::tuple{json::required("error", &ErrorResponse::error)}; }
};

} // namespace korvana
