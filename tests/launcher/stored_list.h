#pragma once
// The account list as the tests see it: rows as (sequence text, account text)
// pairs, and the stored file deciphered into such rows.

#include <string>
#include <utility>
#include <vector>

#include "host/bytes.h"

namespace launcher_test {

using Row = std::pair<std::string, std::string>;
using Rows = std::vector<Row>;

// The password the stored list is enciphered under.
inline constexpr char kPassword[] = "qeza";

// The rows a list content spells: each row record's text with the text of the
// cell record after it (empty when none follows).
Rows RowsOfContent(const Bytes& plain);

// The plain body of a stored list file (empty when it is missing or empty).
Bytes StoredPlain(const std::string& path);
Rows StoredRows(const std::string& path);

// Writes a list content to the file the way the program stores it.
bool WriteStored(const std::string& path, const Bytes& plain);

// The 42-byte list content of one row: sequence text 1, account text abc.
Bytes WorkedExampleContent();

}  // namespace launcher_test
