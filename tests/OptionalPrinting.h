#pragma once
// A failed comparison of std::optional values prints both: the value, or
// "nullopt" (Qt's test library prints only what QDebug can).

#include <QDebug>
#include <optional>

inline QDebug operator<<(QDebug debug, std::nullopt_t) {
    return debug << "nullopt";
}
template <typename T>
QDebug operator<<(QDebug debug, const std::optional<T>& value) {
    return value ? (debug << *value) : (debug << std::nullopt);
}
