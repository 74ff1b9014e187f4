#include "account.h"

namespace korvana {

std::expected<UserStats, DecodeError> UserStats::read(const json::Value &v)
{
    json::ObjectReader r(v, typeName);
    UserStats s;
    r.required("gamesPlayed", s.gamesPlayed);
    r.required("gamesWon", s.gamesWon);
    r.required("totalScore", s.totalScore);
    r.required("bestScore", s.bestScore);
    return r.finish(std::move(s));
}

void UserStats::write(json::Writer &w) const
{
    w.beginObject();
    w.field("gamesPlayed", gamesPlayed);
    w.field("gamesWon", gamesWon);
    w.field("totalScore", totalScore);
    w.field("bestScore", bestScore);
    w.endObject();
}

std::expected<User, DecodeError> User::read(const json::Value &v)
{
    json::ObjectReader r(v, typeName);
    User u;
    r.required("id", u.id);
    r.required("username", u.username);
    r.required("email", u.email);
    r.optional("role", u.role);
    r.optional("stats", u.stats);
    return r.finish(std::move(u));
}

void User::write(json::Writer &w) const
{
    w.beginObject();
    w.field("id", id);
    w.field("username", username);
    w.field("email", email);
    w.field("role", role);
    w.field("stats", stats);
    w.endObject();
}

std::expected<LoginRequest, DecodeError> LoginRequest::read(const json::Value &v)
{
    json::ObjectReader r(v, typeName);
    LoginRequest q;
    r.required("email", q.email);
    r.required("password", q.password);
    return r.finish(std::move(q));
}

void LoginRequest::write(json::Writer &w) const
{
    w.beginObject();
    w.field("email", email);
    w.field("password", password);
    w.endObject();
}

std::expected<RegisterRequest, DecodeError> RegisterRequest::read(const json::Value &v)
{
    json::ObjectReader r(v, typeName);
    RegisterRequest q;
    r.required("username", q.username);
    r.required("email", q.email);
    r.required("password", q.password);
    return r.finish(std::move(q));
}

void RegisterRequest::write(json::Writer &w) const
{
    w.beginObject();
    w.field("username", username);
    w.field("email", email);
    w.field("password", password);
    w.endObject();
}

std::expected<LoginResponse, DecodeError> LoginResponse::read(const json::Value &v)
{
    json::ObjectReader r(v, typeName);
    LoginResponse l;
    r.required("message", l.message);
    r.required("token", l.token);
    r.required("user", l.user);
    return r.finish(std::move(l));
}

void LoginResponse::write(json::Writer &w) const
{
    w.beginObject();
    w.field("message", message);
    w.field("token", token);
    w.field("user", user);
    w.endObject();
}

std::expected<UserResponse, DecodeError> UserResponse::read(const json::Value &v)
{
    json::ObjectReader r(v, typeName);
    UserResponse u;
    r.required("user", u.user);
    return r.finish(std::move(u));
}

void UserResponse::write(json::Writer &w) const
{
    w.beginObject();
    w.field("user", user);
    w.endObject();
}

std::expected<ErrorResponse, DecodeError> ErrorResponse::read(const json::Value &v)
{
    json::ObjectReader r(v, typeName);
    ErrorResponse e;
    r.required("error", e.error);
    return r.finish(std::move(e));
}

void ErrorResponse::write(json::Writer &w) const
{
    w.beginObject();
    w.field("error", error);
    w.endObject();
}

} // namespace korvana
