#pragma once
// The record as CSV for a spreadsheet: a header row, then one row per answer
// (a puzzle left without any answer has one row with empty answer fields),
// in UTF-8 with a byte order mark, fields quoted where they must be.

#include "RecordStore.h"

#include <optional>

namespace record {

// The whole record, or `child`'s alone, into the file at `path`, replacing it
// whole; false when it could not be read or written (logged).
bool exportCsv(Store& store, const QString& path, std::optional<qint64> child = std::nullopt);

// A field as CSV writes it: quoted, its quotes doubled, when it holds a
// comma, a quote or a line break; one a spreadsheet would take for a formula
// (=, +, -, @ first) kept as text by an apostrophe before it.
QString csvField(const QString& text);

}  // namespace record
