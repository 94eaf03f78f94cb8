// The remote exchanges: what each places in the other process, that it frees
// all of it, that nothing is sent when placing fails, and a list view hosted
// by a second process.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <sstream>

#include "list_cases.h"
#include "list_fixture.h"
#include "listview/list_view_access.h"
#include "listview/remote_memory.h"

namespace {

using lvtest::ListWindow;

DWORD Windows95Family() { return VER_PLATFORM_WIN32_WINDOWS; }
DWORD UnknownFamily() { return 7; }

// The record sizes that travel: the ANSI records up to their last used field.
#ifdef _WIN64
constexpr int kItem = 52, kColumn = 40, kFind = 32, kBackground = 36;
#else
constexpr int kItem = 40, kColumn = 32, kFind = 20, kBackground = 24;
#endif

// The exchange as text: A<size> placed, W<size> written, R<size> read, F freed.
class ExchangeLog {
 public:
  RemoteMemory::Observer Observer() {
    return [this](RemoteMemory::Event event, const void*, std::size_t size) {
      static const char* const kTag[] = {"A", "F", "W", "R"};
      out_ << (out_.tellp() > 0 ? " " : "") << kTag[static_cast<int>(event)];
      if (event != RemoteMemory::Event::kFreed) out_ << size;
    };
  }
  std::string Take() {
    std::string text = out_.str();
    out_.str({});
    out_.clear();
    return text;
  }

 private:
  std::ostringstream out_;
};

// "AI WI F" with I, C, N, B standing for the item, column, find and background record sizes.
std::string Expand(const std::string& pattern) {
  std::string out;
  for (char ch : pattern) {
    switch (ch) {
      case 'I':
        out += std::to_string(kItem);
        break;
      case 'C':
        out += std::to_string(kColumn);
        break;
      case 'N':
        out += std::to_string(kFind);
        break;
      case 'B':
        out += std::to_string(kBackground);
        break;
      default:
        out += ch;
    }
  }
  return out;
}

std::vector<RowRecord> TwoRows() {
  return {RowRecord{"r-b", 4, 1, 20, 1, {"b", "bb"}, {6}}, RowRecord{"r-a", 5, -1, 21, 0, {"a"}, {}}};
}

// A call whose result does not matter here; the expected text is its exchange.
#define LV_EXCHANGE(call, exchange) \
  ::lvtest::ReadCase {              \
    __LINE__, #call,                \
        [](ListViewAccess& lv) {    \
          call;                     \
          return std::string();     \
        },                          \
        exchange                    \
  }

TEST(RemoteExchange, PlacesWritesReadsAndFreesAsEachOperationNeeds) {
  ListWindow window;
  ExchangeLog log;
  RemoteMemory memory;
  memory.SetObserver(log.Observer());
  ListViewAccess lv(std::move(memory));
  const std::vector<lvtest::ReadCase> cases = {
      // Reads of a text: record and buffer; the buffer is read only when the send succeeds.
      LV_EXCHANGE(lv.GetItemText(0, 0, 300), "AI A300 WI R300 F F"),
      LV_EXCHANGE(lv.GetItemText(9), "AI A260 WI F F"),
      LV_EXCHANGE(lv.GetCellImage(1), "AI WI RI F"),
      LV_EXCHANGE(lv.GetItemParam(9), "AI WI RI F"),
      // Passed texts take their length + 1 (an empty text one byte).
      LV_EXCHANGE(lv.SetItemText(1, 0, "abc"), "AI A4 W4 WI F F"),
      LV_EXCHANGE(lv.SetItemText(1), "AI A1 W1 WI F F"),
      LV_EXCHANGE(lv.SetCheckState(1, 1), "AI WI F"),
      LV_EXCHANGE(lv.SelectItem(2), "AI WI F"),
      LV_EXCHANGE(lv.DeselectItem(2), "AI WI F"),
      LV_EXCHANGE(lv.InsertItem(-1, "xy"), "AI A3 W3 WI F F"),
      // One record for the batch; each text freed right after its send.
      LV_EXCHANGE(lv.InsertRows(std::nullopt, TwoRows()),
                  "AI A4 W4 WI A2 W2 WI F A3 W3 WI F F A4 W4 WI A2 W2 WI F F F"),
      LV_EXCHANGE(lv.FindItemByText("al", -1), "AN A3 W3 WN F F"),
      LV_EXCHANGE(lv.FindItemByParam(-1, 7), "AN WN F"),
      LV_EXCHANGE(lv.GetColumnText(1), "AC A260 WC R260 F F"),
      LV_EXCHANGE(lv.GetColumnText(7), "AC A260 WC F F"),
      LV_EXCHANGE(lv.GetColumnAlign(1), "AC WC RC F"),
      LV_EXCHANGE(lv.GetColumnAlign(7), "AC WC F"),
      LV_EXCHANGE(lv.SetColumnText(0, "N"), "AC A2 W2 WC F F"),
      LV_EXCHANGE(lv.SetColumnWidth(0, 9), "AC WC F"),
      LV_EXCHANGE(lv.InsertColumn(-1, "Z"), "AC A2 W2 WC F F"),
      // One record for the row; a buffer per cell (three columns).
      LV_EXCHANGE(lv.GetRow(0), "AI A260 WI RI R260 F A260 WI RI R260 F A260 WI RI R260 F F"),
      LV_EXCHANGE(lv.GetRow(99), "AI A260 WI F F"),
      LV_EXCHANGE(lv.GetBkImage(), "AB A256 WB R256 F F"),
      LV_EXCHANGE(lv.SetBkImage("a.bmp"), "AB A6 W6 WB F F"),
      // Plain numbers travel without memory.
      LV_EXCHANGE(lv.GetItemCount(), ""),
      LV_EXCHANGE(lv.GetCheckState(0), ""),
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "line " << c.line << ": " << c.call);
    // A fresh known content for each call.
    SendMessageA(window.list(), LVM_DELETEALLITEMS, 0, 0);
    while (SendMessageA(window.list(), LVM_DELETECOLUMN, 0, 0)) {
    }
    lvtest::FillKnownList(window.list());
    ASSERT_TRUE(lv.Bind(window.list(), true));
    log.Take();
    c.run(lv);
    EXPECT_EQ(log.Take(), Expand(c.expected));
    EXPECT_EQ(lv.Memory().LiveAllocations(), 0u);
  }
}

// Every call whose record cannot be placed in the other process returns its
// failure value and sends no record-carrying message (never a record at 0).
TEST(RemoteExchange, NothingIsSentWhenPlacingFails) {
  ListWindow window;
  lvtest::FillKnownList(window.list());
  // The owning process opened without the rights to place memory in it.
  ListViewAccess lv(RemoteMemory(&RemoteMemory::ReadPlatformId, PROCESS_QUERY_INFORMATION));
  ASSERT_TRUE(lv.Bind(window.list(), true));
  lvtest::MessageCounter counter(window.list());
  const std::vector<lvtest::ReadCase> cases = {
      LV_READ(lv.GetItemText(0), ""),
      LV_READ(lv.GetCellImage(1), "0"),
      LV_READ(lv.GetItemIndent(0), "0"),
      LV_READ(lv.GetItemParam(0), "0"),
      LV_READ(lv.InsertItem(-1, "x"), "-1"),
      LV_READ(lv.FindItemByText("alpha", -1), "-1"),
      LV_READ(lv.FindItemByParam(-1, 100), "-1"),
      LV_READ(lv.GetColumnText(0), ""),
      LV_READ(lv.GetColumnAlign(0), "255"),
      LV_READ(lv.GetColumnWidth(0), "0"),
      LV_READ(lv.GetColumnImage(2), "-1"),
      LV_READ(lv.IsColumnImageRight(2), "false"),
      LV_READ(lv.InsertColumn(-1, "x"), "-1"),
      LV_READ(lv.GetRow(0), "|0|0|0|0|,|0,0"),
      LV_READ(lv.GetBkImage(), ""),
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "line " << c.line << ": " << c.call);
    counter.Reset();
    EXPECT_EQ(c.run(lv), c.expected);
    for (UINT m : {LVM_GETITEMA, LVM_SETITEMA, LVM_INSERTITEMA, LVM_FINDITEMA, LVM_GETCOLUMNA, LVM_INSERTCOLUMNA,
                   LVM_GETBKIMAGEA}) {
      EXPECT_EQ(counter.Count(m), 0) << "message 0x" << std::hex << m;
    }
  }
  // Changes send nothing at all, not even the redraw switch of a batch.
  counter.Reset();
  lv.SetItemText(0, 0, "x");
  lv.SetCellImage(0, 0, 3);
  lv.SetCheckState(0, 0);
  lv.SetItemIndent(0, 4);
  lv.SetItemParam(0, 5);
  lv.SelectItem(0);
  lv.DeselectItem(1);
  lv.SetColumnText(0, "x");
  lv.SetColumnWidth(0, 5);
  lv.SetColumnImage(0, 5);
  lv.InsertRows(std::nullopt, TwoRows());
  EXPECT_EQ(counter.ListMessages(), 0);
  EXPECT_EQ(counter.Count(WM_SETREDRAW), 0);
  EXPECT_EQ(test::RawCellText(window.list(), 0, 0), "alpha");
  EXPECT_EQ(lv.Memory().LiveAllocations(), 0u);
  // The same object in local mode does not need the other process's memory.
  lv.UseLocal();
  EXPECT_EQ(lv.GetItemText(0), "alpha");
  EXPECT_EQ(lv.GetColumnAlign(1), 1);
}

TEST(RemoteMemoryTest, NtPathPlacesInTheProcessAndFreesOnce) {
  RemoteMemory memory;
  UniqueHandle self(OpenProcess(PROCESS_ALL_ACCESS, FALSE, GetCurrentProcessId()));
  void* address = memory.Allocate(self.get(), 100);
  ASSERT_NE(address, nullptr);
  EXPECT_EQ(memory.Platform(), 3);
  EXPECT_EQ(memory.MappingCount(), 0u);
  EXPECT_TRUE(lvtest::IsCommitted(self.get(), address));
  const char data[] = "remote";
  EXPECT_TRUE(memory.Write(self.get(), address, data, sizeof(data)));
  EXPECT_EQ(memory.Read(self.get(), address, 8), std::string("remote\0\0", 8));
  memory.Free(self.get(), address);
  EXPECT_FALSE(lvtest::IsCommitted(self.get(), address));
  EXPECT_EQ(memory.LiveAllocations(), 0u);
  memory.Free(self.get(), address);  // already gone: nothing
  EXPECT_EQ(memory.LiveAllocations(), 0u);
  EXPECT_EQ(memory.Allocate(self.get(), 0), nullptr);
  EXPECT_EQ(memory.Allocate(nullptr, 16), nullptr);
}

TEST(RemoteMemoryTest, ReadGivesZerosWhenTheReadFails) {
  RemoteMemory memory;
  EXPECT_EQ(memory.Read(GetCurrentProcess(), reinterpret_cast<void*>(0x10), 6), std::string(6, '\0'));
  EXPECT_EQ(memory.Read(nullptr, &memory, 3), std::string(3, '\0'));
}

TEST(RemoteMemoryTest, MappingPathKeepsItsMappingsInOrderUntilFreedOrReleased) {
  for (RemoteMemory::PlatformIdReader reader : {&Windows95Family, &UnknownFamily}) {
    RemoteMemory memory(reader);
    void* first = memory.Allocate(nullptr, 16);  // the process handle is not used on this path
    void* second = memory.Allocate(nullptr, 32);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(memory.Platform(), reader == &Windows95Family ? 2 : 0);
    EXPECT_EQ(memory.MappingCount(), 2u);
    std::memcpy(second, "view", 5);  // mapped here, at the address returned
    EXPECT_EQ(memory.Read(GetCurrentProcess(), second, 5), std::string("view\0", 5));
    memory.Free(nullptr, first);
    EXPECT_EQ(memory.MappingCount(), 1u);
    memory.Free(nullptr, first);  // no pair any more: nothing
    EXPECT_EQ(memory.MappingCount(), 1u);
    memory.ReleaseMappings();
    EXPECT_EQ(memory.MappingCount(), 0u);
    EXPECT_EQ(memory.LiveAllocations(), 0u);
  }
}

TEST(RemoteMemoryTest, ScopedBlockFreesOnExitAndMovesOwnership) {
  RemoteMemory memory(&Windows95Family);
  RemoteBlock outer;
  {
    RemoteBlock inner(memory, nullptr, 64);
    ASSERT_TRUE(inner);
    RemoteBlock kept(memory, nullptr, 8);
    outer = std::move(kept);
    EXPECT_EQ(memory.LiveAllocations(), 2u);
  }
  EXPECT_EQ(memory.LiveAllocations(), 1u);
  outer.Reset();
  EXPECT_EQ(memory.LiveAllocations(), 0u);
  EXPECT_EQ(memory.MappingCount(), 0u);
}

TEST(RemoteMemoryTest, OpensTheProcessThatOwnsTheWindow) {
  ListWindow window;
  RemoteMemory memory;
  const UniqueHandle process = memory.OpenWindowProcess(window.list());
  ASSERT_TRUE(process);
  EXPECT_EQ(GetProcessId(process.get()), GetCurrentProcessId());
  EXPECT_FALSE(memory.OpenWindowProcess(nullptr));
}

TEST(BindTest, ChecksTheClassNameCaseSensitively) {
  ListWindow window;
  lvtest::FillKnownList(window.list());
  ListViewAccess lv;
  // Unbound: the messages go to window 0.
  EXPECT_EQ(lv.GetItemCount(), 0);
  EXPECT_EQ(lv.GetItemText(0), "");
  EXPECT_FALSE(lv.Bind(window.top()));
  EXPECT_FALSE(lv.Bind(window.list(), false, "syslistview32"));
  EXPECT_TRUE(lv.Bind(window.list(), false, ""));  // empty: the default name
  EXPECT_EQ(lv.GetItemCount(), 4);
  // A failed bind leaves the object as it was.
  EXPECT_FALSE(lv.Bind(window.top(), true));
  EXPECT_EQ(lv.GetItemCount(), 4);
  EXPECT_EQ(lv.GetItemText(1), "beta");
  EXPECT_EQ(lv.Memory().LiveAllocations(), 0u);
  // A class name of the caller's replaces the default.
  EXPECT_FALSE(lv.Bind(window.list(), false, "KlListTestTop"));
  EXPECT_TRUE(lv.Bind(window.top(), false, "KlListTestTop"));
  EXPECT_FALSE(lv.Bind(window.top(), false, "kllisttesttop"));
}

TEST(ItemSpacingTest, SplitsThePackedResultIntoSignedHalves) {
  ListWindow window;
  ListViewAccess lv;
  ASSERT_TRUE(lv.Bind(window.list()));
  lvtest::MessageCounter counter(window.list());
  counter.AnswerItemSpacing(static_cast<LRESULT>(static_cast<DWORD>(MAKELONG(-3, -7))));
  std::int32_t h = 0, v = 0;
  lv.GetItemSpacing(h, v, true);
  EXPECT_EQ(h, -3);
  EXPECT_EQ(v, -7);
  EXPECT_EQ(counter.LastSpacingWParam(), 1u);
  counter.AnswerItemSpacing(MAKELONG(75, 30));
  lv.GetItemSpacing(h, v, false);
  EXPECT_EQ(h, 75);
  EXPECT_EQ(v, 30);
  EXPECT_EQ(counter.LastSpacingWParam(), 0u);
  counter.AnswerItemSpacing(static_cast<LRESULT>(static_cast<DWORD>(MAKELONG(-3, -7))));
  EXPECT_EQ(static_cast<std::uint32_t>(lv.GetIconSpacing()), 0xFFF9FFFDu);
}

// A list view of a second process, driven in remote mode.
class HostedListTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(host_.Start()) << "the hosted list did not appear";
    RemoteMemory memory;
    memory.SetObserver([this](RemoteMemory::Event event, const void* address, std::size_t) {
      if (event == RemoteMemory::Event::kAllocated) placed_.insert(address);
    });
    lv_ = std::make_unique<ListViewAccess>(std::move(memory));
    ASSERT_FALSE(lv_->Bind(host_.top(), true));
    ASSERT_TRUE(lv_->Bind(host_.list(), true));
  }

  // Every block placed in the child is released there again.
  void ExpectChildMemoryFreed() {
    EXPECT_EQ(lv_->Memory().LiveAllocations(), 0u);
    for (const void* address : placed_) EXPECT_FALSE(lvtest::IsCommitted(host_.process(), address)) << address;
    placed_.clear();
  }

  lvtest::HostedList host_;
  std::unique_ptr<ListViewAccess> lv_;
  std::set<const void*> placed_;
};

TEST_F(HostedListTest, ReadsTheKnownContentAcrossProcesses) {
  for (const lvtest::ReadCase& c : lvtest::KnownContentReads()) {
    SCOPED_TRACE(testing::Message() << "list_cases.cpp:" << c.line << " " << c.call);
    EXPECT_EQ(c.run(*lv_), c.expected);
    ExpectChildMemoryFreed();
  }
}

TEST_F(HostedListTest, ChangesTheOtherProcesssList) {
  ListViewAccess& lv = *lv_;
  lv.SetItemText(1, 1, "remote");
  EXPECT_EQ(lv.GetItemText(1, 1), "remote");
  lv.SetCheckState(1, 1);
  EXPECT_EQ(lv.GetCheckedRows(), (std::vector<std::int32_t>{0, 1, 2, 3}));
  EXPECT_EQ(lv.InsertItem(std::nullopt, "new", 2, 0, 3, 77), 4);
  EXPECT_EQ(lvtest::Show(lv.GetRow(4)), "new|2|0|77|3|,|-1,-1");
  lv.InsertRows(0, TwoRows(), 0x801);
  EXPECT_EQ(lvtest::Show(lv.GetRow(0)), "r-a|5|-1|21|0|a,|-1,-1");
  EXPECT_EQ(lvtest::Show(lv.GetRow(1)), "r-b|4|1|20|1|b,bb|6,-1");
  lv.SortByColumn(0, false);
  EXPECT_EQ(lv.GetItemText(0), lvtest::kChinese);
  EXPECT_EQ(lv.GetItemText(6), "alpha");
  EXPECT_EQ(lv.InsertColumn(std::nullopt, "Extra", 44, 2), 3);
  EXPECT_EQ(lv.GetColumnText(3), "Extra");
  EXPECT_EQ(lv.GetColumnWidth(3), 44);
  EXPECT_EQ(lv.GetColumnAlign(3), 2);
  ExpectChildMemoryFreed();
}

}  // namespace
