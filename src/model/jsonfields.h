// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "jsonreader.h"
#include "jsonwriter.h"
#include "quickreader.h"

#include <tuple>

namespace korvana::json {

enum class Rule { Required, Optional, WithDefault, Lenient, Derived };

// One member of a record: its key, where it lives and how it is read. The same list writes the
// record, in the listed order, an absent optional left out.
template <Rule rule, class R, class M, class Extra = std::nullptr_t> struct Field
{
    std::string_view key;
    M R::*member;
    Extra extra = nullptr;

    void read(ObjectReader &r, R &record) const
    {
        M &out = record.*member;
        if constexpr (rule == Rule::Required)
            r.required(key, out);
        else if constexpr (rule == Rule::Optional)
            r.optional(key, out);
        else if constexpr (rule == Rule::WithDefault)
            r.withDefault(key, out, extra);
        else if constexpr (rule == Rule::Lenient)
            r.lenient(key, out);
        else if (r.ok())
            out = extra(r, record);
    }

    // The quick reading (quickreader.h) takes a member only when it is the next one and of its own
    // type, a derived member then read plainly: its reader must give the same value for such a
    // member. Anything else gives up and leaves the message to read().
    bool readQuick(quick::Members &members, R &record) const
    {
        M &out = record.*member;
        if (members.next(key))
            return quick::read(members.cursor(), out);
        if constexpr (rule == Rule::WithDefault) {
            out = extra;
            return true;
        } else if constexpr (rule == Rule::Optional || rule == Rule::Lenient) {
            out.reset();
            return true;
        } else {
            return false;
        }
    }

    void write(Writer &w, const R &record) const { w.field(key, record.*member); }
};

// The member must be present and readable.
template <class R, class M> constexpr auto required(std::string_view key, M R::*member)
{
    return Field<Rule::Required, R, M>{key, member};
}

// Absent or null leaves it empty; a value of the wrong type makes the record unreadable.
template <class R, class M>
constexpr auto optional(std::string_view key, std::optional<M> R::*member)
{
    return Field<Rule::Optional, R, std::optional<M>>{key, member};
}

// Absent or null takes the fallback; a value of the wrong type makes the record unreadable.
template <class R, class M>
constexpr auto withDefault(std::string_view key, M R::*member, std::type_identity_t<M> fallback)
{
    return Field<Rule::WithDefault, R, M, M>{key, member, std::move(fallback)};
}

// Anything unreadable leaves it empty.
template <class R, class M>
constexpr auto lenient(std::string_view key, std::optional<M> R::*member)
{
    return Field<Rule::Lenient, R, std::optional<M>>{key, member};
}

// Read by a function of the record's own (from the object and the members read before it).
template <class R, class M>
constexpr auto derived(std::string_view key, M R::*member, M (*read)(ObjectReader &, const R &))
{
    return Field<Rule::Derived, R, M, M (*)(ObjectReader &, const R &)>{key, member, read};
}

template <Record T> std::optional<DecodeError> readValue(const Value &v, T &out)
{
    ObjectReader r(v, T::typeName);
    std::apply([&](const auto &...field) { (field.read(r, out), ...); }, T::fields());
    if constexpr (requires { T::afterRead(out); }) {
        if (r.ok())
            T::afterRead(out);
    }
    return r.takeError();
}

template <WritableRecord T> void writeRecord(Writer &w, const T &record)
{
    w.beginObject();
    std::apply([&](const auto &...field) { (field.write(w, record), ...); }, T::fields());
    w.endObject();
}

} // namespace korvana::json
