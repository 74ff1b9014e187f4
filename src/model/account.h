#pragma once

#include "jsonreader.h"
#include "jsonwriter.h"

#include <optional>

namespace korvana {

struct UserStats
{
    static constexpr const char *typeName = "UserStats";
    qint64 gamesPlayed = 0;
    qint64 gamesWon = 0;
    qint64 totalScore = 0;
    qint64 bestScore = 0;

    static std::expected<UserStats, DecodeError> read(const json::Value &v);
    void write(json::Writer &w) const;
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

    static std::expected<User, DecodeError> read(const json::Value &v);
    void write(json::Writer &w) const;
    bool operator==(const User &) const = default;
};

struct LoginRequest
{
    static constexpr const char *typeName = "LoginRequest";
    QString email;
    QString password;

    static std::expected<LoginRequest, DecodeError> read(const json::Value &v);
    void write(json::Writer &w) const;
};

// The registration body: exactly the three texts the player typed.
struct RegisterRequest
{
    static constexpr const char *typeName = "RegisterRequest";
    QString username;
    QString email;
    QString password;

    static std::expected<RegisterRequest, DecodeError> read(const json::Value &v);
    void write(json::Writer &w) const;
};

struct LoginResponse
{
    static constexpr const char *typeName = "LoginResponse";
    QString message;
    QString token;
    User user;

    static std::expected<LoginResponse, DecodeError> read(const json::Value &v);
    void write(json::Writer &w) const;
};

struct UserResponse
{
    static constexpr const char *typeName = "UserResponse";
    User user;

    static std::expected<UserResponse, DecodeError> read(const json::Value &v);
    void write(json::Writer &w) const;
};

struct ErrorResponse
{
    static constexpr const char *typeName = "ErrorResponse";
    QString error;

    static std::expected<ErrorResponse, DecodeError> read(const json::Value &v);
    void write(json::Writer &w) const;
};

} // namespace korvana
