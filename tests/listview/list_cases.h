#pragma once
// Tables of ListViewAccess calls and their expected results, shared by the
// in-process and the cross-process tests. Every result is shown as text so
// one table holds operations of any result type.

#include <functional>
#include <string>
#include <vector>

#include "listview/list_view_access.h"

namespace lvtest {

std::string Show(const std::string& text);
std::string Show(std::int32_t value);
std::string Show(bool value);
std::string Show(std::uint8_t value);
std::string Show(const std::vector<std::int32_t>& rows);
// text|image|check|param|indent|subTexts|subImages
std::string Show(const RowRecord& row);

struct ReadCase {
  int line;
  const char* call;
  std::function<std::string(ListViewAccess&)> run;
  std::string expected;
};
#define LV_READ(call, expected)                                                        \
  ::lvtest::ReadCase {                                                                 \
    __LINE__, #call, [](ListViewAccess& lv) { return ::lvtest::Show(call); }, expected \
  }

// The reads of the known content (list_fixture.h), valid in every mode.
const std::vector<ReadCase>& KnownContentReads();

}  // namespace lvtest
