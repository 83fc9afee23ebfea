#pragma once

#include <QByteArray>

#include <optional>
#include <string_view>

// QCOMPARE prints QByteArrays in full when they differ; standard strings it cannot print.
inline QByteArray bytes(std::string_view s)
{
    return QByteArray(s.data(), static_cast<qsizetype>(s.size()));
}

inline std::string_view view(const QByteArray& b)
{
    return {b.constData(), static_cast<std::size_t>(b.size())};
}

// A decoder's result as the STATUS line would take it; "(unchanged)" when it gives nothing.
template <typename T> QByteArray statusOf(const std::optional<T>& update)
{
    return update ? bytes(update->text) : QByteArray("(unchanged)");
}
