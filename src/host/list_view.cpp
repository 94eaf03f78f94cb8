#include "host/list_view.h"

#include <algorithm>

namespace {

constexpr std::size_t kFirstTextBuffer = 512;
// No cell text is larger than this; it only bounds the growing.
constexpr std::size_t kLargestTextBuffer = 64u << 20;
constexpr std::size_t kSpareBytes = 8;

// The bytes of the widest character of the ANSI code page. A control that
// keeps its texts as wide characters copies only whole characters, so a cut
// text may stop up to that many bytes short of the buffer's end.
std::size_t WidestCharacter() {
  CPINFO info{};
  return GetCPInfo(CP_ACP, &info) && info.MaxCharSize > 1 ? info.MaxCharSize : 1;
}

}  // namespace

void ListView::SetItemState(std::int32_t row, UINT state, UINT mask) const {
  LVITEMA item{};
  item.state = state;
  item.stateMask = mask;
  SetItemState(row, item);
}

void ListView::SetItemText(std::int32_t row, std::int32_t column, const std::string& text) const {
  std::string textCopy = text;  // the record's text pointer is not const
  LVITEMA item{};
  item.iSubItem = column;
  item.pszText = textCopy.data();
  Send(LVM_SETITEMTEXTA, AsWParam(row), &item);
}

std::string ListView::GetItemText(std::int32_t row, std::int32_t column) const {
  const std::size_t margin = WidestCharacter();
  std::string buffer;
  for (std::size_t size = kFirstTextBuffer;; size *= 2) {
    // Room beyond the size given to the control: Wine's list copies a
    // double-byte character across the end of a buffer that is too short.
    buffer.assign(size + kSpareBytes, '\0');
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = buffer.data();
    item.cchTextMax = static_cast<int>(size);
    const auto length = static_cast<std::size_t>(std::max<LRESULT>(0, GetItemTextInto(row, item)));
    // A text that filled the buffer (but for the characters that could not
    // fit) may be longer: ask again with twice the room.
    if (length + margin < size || size >= kLargestTextBuffer) {
      buffer.resize(std::min(length, size - 1));
      return buffer;
    }
  }
}
