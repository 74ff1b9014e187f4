// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "variantinput.h"

#include <QJSValue>

#include <cmath>

namespace korvana::board {

QVariant plainVariant(const QVariant &value)
{
    if (value.metaType() == QMetaType::fromType<QJSValue>())
        return value.value<QJSValue>().toVariant();
    return value;
}

std::optional<QVariantList> variantList(const QVariant &value)
{
    const QVariant plain = plainVariant(value);
    if (plain.metaType() == QMetaType::fromType<QVariantList>())
        return plain.toList();
    if (plain.metaType() == QMetaType::fromType<QString>() ||
        plain.metaType() == QMetaType::fromType<QByteArray>())
        return std::nullopt;
    if (plain.canConvert<QVariantList>())
        return plain.value<QVariantList>();
    return std::nullopt;
}

std::optional<qint64> variantInteger(const QVariant &value)
{
    switch (value.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        return value.toLongLong();
    case QMetaType::ULong:
    case QMetaType::ULongLong: {
        const quint64 v = value.toULongLong();
        if (v > quint64(std::numeric_limits<qint64>::max()))
            return std::nullopt;
        return qint64(v);
    }
    case QMetaType::Double:
    case QMetaType::Float: {
        const double d = value.toDouble();
        // 2^63 itself does not fit; the bound keeps the cast defined.
        if (!std::isfinite(d) || d != std::trunc(d) || d < -9.2e18 || d > 9.2e18)
            return std::nullopt;
        return qint64(d);
    }
    default:
        if (value.metaType() == QMetaType::fromType<QJSValue>())
            return variantInteger(plainVariant(value));
        return std::nullopt;
    }
}

Squares squaresFromVariant(const QVariant &value)
{
    const auto list = variantList(value);
    if (!list)
        return {};
    Squares squares;
    squares.reserve(list->size());
    for (const QVariant &entry : *list) {
        const auto pair = variantList(entry);
        std::optional<qint64> r, c;
        if (pair && pair->size() >= 2) {
            r = variantInteger(pair->at(0));
            c = variantInteger(pair->at(1));
        }
        squares.append(r && c ? Square{*r, *c} : Square{});
    }
    return squares;
}

std::optional<Board> boardFromVariant(const QVariant &value)
{
    const auto rows = variantList(value);
    if (!rows)
        return std::nullopt;
    Board board;
    board.reserve(rows->size());
    for (const QVariant &rowValue : *rows) {
        const auto cells = variantList(rowValue);
        if (!cells)
            return std::nullopt;
        QList<qint64> row;
        row.reserve(cells->size());
        for (const QVariant &cell : *cells) {
            const auto number = variantInteger(cell);
            if (!number)
                return std::nullopt;
            row.append(*number);
        }
        board.append(std::move(row));
    }
    return board;
}

QVariantList squaresToVariant(const Squares &squares)
{
    QVariantList list;
    list.reserve(squares.size());
    for (const Square &square : squares) {
        QVariantList pair;
        for (const qint64 v : square)
            pair.append(v);
        list.append(QVariant(pair));
    }
    return list;
}

} // namespace korvana::board
