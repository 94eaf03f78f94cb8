// ExportHtml: the whole content of the bound control as an HTML table.
#include <string>

#include "host/files.h"
#include "listview/list_view_access.h"

namespace {

constexpr std::int32_t kCellCapacity = 1024;

void AppendLine(std::string& out, const std::string& line) {
  out += line;
  out += "\r\n";
}

}  // namespace

bool ListViewAccess::ExportHtml(const std::string& fileName, bool withHeader) {
  const std::int32_t columns = GetColumnCount();
  const std::int32_t rows = GetItemCount();
  // Nothing to write: no file is created or touched.
  if (columns <= 0 || rows <= 0) return false;
  // Texts go out as the control holds them: no escaping, no byte-order mark.
  std::string out;
  AppendLine(out, "<table border=\"1\">");
  if (withHeader) {
    AppendLine(out, "  <tr>");
    for (std::int32_t c = 0; c < columns; ++c) AppendLine(out, "    <th>" + GetColumnText(c) + "</th>");
    AppendLine(out, "  </tr>");
  }
  for (std::int32_t r = 0; r < rows; ++r) {
    AppendLine(out, "  <tr>");
    for (std::int32_t c = 0; c < columns; ++c) AppendLine(out, "    <td>" + GetItemText(r, c, kCellCapacity) + "</td>");
    AppendLine(out, "  </tr>");
  }
  AppendLine(out, "</table>");

  // Other programs may read, write or delete the file meanwhile.
  return WriteSharedFileBytes(fileName, Bytes(out.begin(), out.end()));
}
