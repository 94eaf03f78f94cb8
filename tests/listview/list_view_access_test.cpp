// ListViewAccess against a real report list view in this process, driven in
// local mode, in remote mode (memory placed through VirtualAllocEx on this
// process's own handle) and in remote mode on the file-mapping path.
#include <gtest/gtest.h>

#include <set>

#include "list_cases.h"
#include "list_fixture.h"
#include "listview/list_view_access.h"

namespace {

using lvtest::ListWindow;
using lvtest::RawItem;

enum class Mode { kLocal, kRemote, kRemoteMapping };

DWORD Windows95Family() { return VER_PLATFORM_WIN32_WINDOWS; }

std::string ModeName(const testing::TestParamInfo<Mode>& info) {
  switch (info.param) {
    case Mode::kLocal:
      return "Local";
    case Mode::kRemote:
      return "Remote";
    case Mode::kRemoteMapping:
      return "RemoteMapping";
  }
  return "?";
}

class ListViewModes : public testing::TestWithParam<Mode> {
 protected:
  void SetUp() override { Rebuild(); }

  // A fresh control with the known content, and a fresh bound object.
  void Rebuild() {
    access_.reset();
    window_.reset();
    window_ = std::make_unique<ListWindow>();
    lvtest::FillKnownList(list());
    RemoteMemory memory(GetParam() == Mode::kRemoteMapping ? &Windows95Family : &RemoteMemory::ReadPlatformId);
    memory.SetObserver([this](RemoteMemory::Event event, const void* address, std::size_t) {
      if (event == RemoteMemory::Event::kAllocated) placed_.insert(address);
    });
    access_ = std::make_unique<ListViewAccess>(std::move(memory));
    ASSERT_TRUE(access_->Bind(list(), GetParam() != Mode::kLocal));
  }

  HWND list() const { return window_->list(); }
  ListViewAccess& lv() { return *access_; }

  // After every call: nothing is left placed, and in remote mode the call did
  // place its records (so the first check is not vacuous).
  void ExpectAllFreed(bool expectPlaced) {
    EXPECT_EQ(lv().Memory().LiveAllocations(), 0u);
    EXPECT_EQ(lv().Memory().MappingCount(), 0u);
    if (GetParam() == Mode::kLocal) {
      EXPECT_TRUE(placed_.empty());
      return;
    }
    if (expectPlaced) {
      EXPECT_FALSE(placed_.empty());
    }
    for (const void* address : placed_) {
      if (GetParam() == Mode::kRemote) {
        EXPECT_FALSE(lvtest::IsCommitted(GetCurrentProcess(), address)) << address;
      }
    }
    placed_.clear();
  }

  std::unique_ptr<ListWindow> window_;
  std::unique_ptr<ListViewAccess> access_;
  std::set<const void*> placed_;
};

INSTANTIATE_TEST_SUITE_P(All, ListViewModes, testing::Values(Mode::kLocal, Mode::kRemote, Mode::kRemoteMapping),
                         ModeName);

TEST_P(ListViewModes, ReadsTheKnownContent) {
  for (const lvtest::ReadCase& c : lvtest::KnownContentReads()) {
    SCOPED_TRACE(testing::Message() << "list_cases.cpp:" << c.line << " " << c.call);
    EXPECT_EQ(c.run(lv()), c.expected);
    ExpectAllFreed(false);
  }
}

// A change made through the class, then observed by raw messages on a fresh list.
struct WriteCase {
  int line;
  const char* call;
  std::function<std::string(ListViewAccess&)> act;  // its result, "" when it has none
  std::string expectedResult;
  std::function<std::string(HWND)> observe;
  std::string expectedState;
};
#define LV_WRITE(call, result, observe, state)                                                     \
  WriteCase {                                                                                      \
    __LINE__, #call, [](ListViewAccess& lv) { return lvtest::Show(call); }, result, observe, state \
  }
#define LV_DO(call, observe, state) \
  WriteCase {                       \
    __LINE__, #call,                \
        [](ListViewAccess& lv) {    \
          call;                     \
          return std::string();     \
        },                          \
        "", observe, state          \
  }

std::string Texts(HWND list, int column) {
  std::string out;
  const int rows = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
  for (int r = 0; r < rows; ++r) out += (r ? "," : "") + test::RawCellText(list, r, column);
  return out;
}
std::string StateImages(HWND list) {
  std::string out;
  const int rows = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
  for (int r = 0; r < rows; ++r) out += (r ? "," : "") + std::to_string(lvtest::RawStateImage(list, r));
  return out;
}
std::string Selected(HWND list) {
  std::string out;
  const int rows = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
  for (int r = 0; r < rows; ++r) {
    if (SendMessageA(list, LVM_GETITEMSTATE, r, LVIS_SELECTED)) out += (out.empty() ? "" : ",") + std::to_string(r);
  }
  return out;
}
// text/image/state image/indent/param of one row.
std::string Row(HWND list, int row) {
  const LVITEMA item = RawItem(list, row, 0, LVIF_IMAGE | LVIF_INDENT | LVIF_PARAM);
  return test::RawCellText(list, row, 0) + "/" + std::to_string(item.iImage) + "/" +
         std::to_string(lvtest::RawStateImage(list, row)) + "/" + std::to_string(item.iIndent) + "/" +
         std::to_string(static_cast<int>(item.lParam));
}
std::string Column(HWND list, int column) {
  bool ok = false;
  const LVCOLUMNA c = lvtest::RawColumn(list, column, LVCF_FMT | LVCF_WIDTH | LVCF_IMAGE, &ok);
  if (!ok) return "missing";
  return lvtest::RawColumnText(list, column) + "/fmt" + std::to_string(c.fmt & 3) + "/" + std::to_string(c.cx) +
         "/img" + std::to_string(c.iImage) + ((c.fmt & LVCFMT_BITMAP_ON_RIGHT) ? "/right" : "");
}
std::string Count(HWND list) { return std::to_string(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)); }

std::vector<RowRecord> TwoRows() {
  RowRecord b{"r-b", 4, 1, 20, 1, {"b", "bb"}, {6}};
  RowRecord a{"r-a", 5, -1, 21, 0, {"a"}, {}};
  return {b, a};
}

TEST_P(ListViewModes, ChangesTheControl) {
  const std::vector<WriteCase> cases = {
      LV_DO(
          lv.SetItemText(1, 1, "new"), [](HWND l) { return Texts(l, 1); }, "x1,new,x3,"),
      LV_DO(
          lv.SetItemText(1), [](HWND l) { return Texts(l, 0); }, "alpha,,alphabet," + lvtest::kChinese),
      LV_DO(
          lv.SetCellImage(0, 2, 7), [](HWND l) { return std::to_string(RawItem(l, 0, 2, LVIF_IMAGE).iImage); }, "7"),
      LV_DO(
          lv.SetCellImage(2), [](HWND l) { return std::to_string(RawItem(l, 2, 0, LVIF_IMAGE).iImage); }, "0"),
      // The row's own state changes, not row 0's.
      LV_DO(lv.SetCheckState(1, 1), StateImages, "2,2,0,2"),
      LV_DO(lv.SetCheckState(3, 0), StateImages, "2,1,0,1"),
      LV_DO(lv.SetCheckState(1), StateImages, "2,0,0,2"),
      LV_DO(
          lv.SetItemIndent(1, 3), [](HWND l) { return Row(l, 0) + " " + Row(l, 1); }, "alpha/0/2/1/100 beta/1/1/3/-5"),
      LV_DO(
          lv.SetItemParam(2, 42), [](HWND l) { return Row(l, 0) + " " + Row(l, 2); },
          "alpha/0/2/1/100 alphabet/2/0/0/42"),
      LV_DO(lv.SelectItem(0), Selected, "0,1,3"),
      LV_DO(lv.DeselectItem(3), Selected, "1"),
      LV_DO(lv.DeselectItem(0), Selected, "1,3"),
      // Insertion: appended when the row is absent or -1; the indent takes effect.
      LV_WRITE(
          lv.InsertItem(), "4", [](HWND l) { return Row(l, 4); }, "/-1/0/0/0"),
      LV_WRITE(
          lv.InsertItem(-1, "tail", 5, 1, 2, 9), "4", [](HWND l) { return Row(l, 4); }, "tail/5/2/2/9"),
      LV_WRITE(
          lv.InsertItem(1, "mid", 0, 0), "1", [](HWND l) { return Texts(l, 0) + " " + Row(l, 1); },
          "alpha,mid,beta,alphabet," + lvtest::kChinese + " mid/0/1/0/0"),
      LV_DO(
          lv.InsertRows(std::nullopt, TwoRows(), 0x801),
          [](HWND l) {
            return Row(l, 4) + " " + Row(l, 5) + " " + test::RawCellText(l, 4, 1) + "," + test::RawCellText(l, 5, 1) +
                   "," + test::RawCellText(l, 5, 2) + " img" + std::to_string(RawItem(l, 5, 1, LVIF_IMAGE).iImage);
          },
          "r-a/5/0/0/21 r-b/4/2/1/20 a,b,bb img6"),
      LV_DO(
          lv.InsertRows(0, TwoRows(), ~1), [](HWND l) { return Texts(l, 0); },
          "r-b,r-a,alpha,beta,alphabet," + lvtest::kChinese),
      LV_DO(
          lv.InsertRows(-1, TwoRows()), [](HWND l) { return Texts(l, 0); },
          "alpha,beta,alphabet," + lvtest::kChinese + ",r-b,r-a"),
      // Re-sorting by a column keeps every field and cell of the rows.
      LV_DO(
          lv.SortByColumn(1), [](HWND l) { return Texts(l, 0) + " " + Row(l, 1) + " " + Texts(l, 2); },
          lvtest::kChinese + ",alpha,beta,alphabet alpha/0/2/1/100 z4,y1,,y3"),
      LV_DO(
          lv.SortByColumn(1, false), [](HWND l) { return Texts(l, 0); }, "alphabet,beta,alpha," + lvtest::kChinese),
      // Unsigned bytes: the double-byte text sorts after ASCII.
      LV_DO(
          lv.SortByColumn(0),
          [](HWND l) { return Texts(l, 0) + " img" + std::to_string(RawItem(l, 0, 1, LVIF_IMAGE).iImage); },
          "alpha,alphabet,beta," + lvtest::kChinese + " img10"),
      LV_WRITE(lv.DeleteItem(0), "true", Count, "3"),
      LV_WRITE(lv.DeleteItem(9), "false", Count, "4"),
      LV_WRITE(lv.DeleteAllItems(), "true", Count, "0"),
      // Columns. Image -1 is the header's "ask the parent" value, which the
      // test window answers with 0.
      LV_WRITE(
          lv.InsertColumn(), "3", [](HWND l) { return Column(l, 3); }, "/fmt0/50/img0"),
      LV_WRITE(
          lv.InsertColumn(1, "Mid", 70, 2, 3, true), "1", [](HWND l) { return Column(l, 1) + " " + Column(l, 2); },
          "Mid/fmt1/70/img3/right City/fmt2/80/img0"),
      LV_WRITE(
          lv.InsertColumn(-1, "C", 40, 1), "3", [](HWND l) { return Column(l, 3); }, "C/fmt2/40/img0"),
      LV_DO(
          lv.SetColumnText(0, "N"), [](HWND l) { return Column(l, 0); }, "N/fmt0/100/img0"),
      LV_DO(
          lv.SetColumnText(1), [](HWND l) { return Column(l, 1); }, "/fmt2/80/img0"),
      LV_DO(
          lv.SetColumnWidth(2, 33), [](HWND l) { return Column(l, 2); }, "Code/fmt1/33/img1/right"),
      LV_DO(
          lv.SetColumnImage(1, 4), [](HWND l) { return Column(l, 1); }, "City/fmt2/80/img4"),
      LV_WRITE(
          lv.DeleteColumn(1), "true", [](HWND l) { return Column(l, 1) + " " + Column(l, 2); },
          "Code/fmt1/60/img1/right missing"),
      LV_WRITE(
          lv.DeleteColumn(5), "false", [](HWND l) { return Column(l, 2); }, "Code/fmt1/60/img1/right"),
      // View codes; any other code gives icon view.
      LV_WRITE(
          lv.SetView(2), "true", [](HWND l) { return std::to_string(SendMessageA(l, LVM_GETVIEW, 0, 0)); },
          std::to_string(LV_VIEW_LIST)),
      LV_WRITE(
          lv.SetView(7), "true", [](HWND l) { return std::to_string(SendMessageA(l, LVM_GETVIEW, 0, 0)); },
          std::to_string(LV_VIEW_ICON)),
      // Single selection: no-op without a change, and SelectOnly.
      LV_WRITE(
          lv.SingleSelect(false), "false",
          [](HWND l) { return lvtest::Show((GetWindowLongA(l, GWL_STYLE) & LVS_SINGLESEL) != 0) + " " + Selected(l); },
          "false 1,3"),
      LV_WRITE(
          lv.SingleSelect(true), "true",
          [](HWND l) { return lvtest::Show((GetWindowLongA(l, GWL_STYLE) & LVS_SINGLESEL) != 0); }, "true"),
      LV_DO(
          lv.SelectOnly(2),
          [](HWND l) { return lvtest::Show((GetWindowLongA(l, GWL_STYLE) & LVS_SINGLESEL) != 0) + " " + Selected(l); },
          "true 2"),
  };
  for (const WriteCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "line " << c.line << ": " << c.call);
    Rebuild();
    EXPECT_EQ(c.act(lv()), c.expectedResult);
    EXPECT_EQ(c.observe(list()), c.expectedState);
    ExpectAllFreed(false);
  }
}

TEST_P(ListViewModes, ColoursGoToTheControlAndBack) {
  lv().SetTextColor(RGB(1, 2, 3));
  lv().SetTextBkColor(RGB(4, 5, 6));
  lv().SetBkColor(RGB(7, 8, 9));
  EXPECT_EQ(SendMessageA(list(), LVM_GETTEXTCOLOR, 0, 0), RGB(1, 2, 3));
  EXPECT_EQ(lv().GetTextColor(), RGB(1, 2, 3));
  EXPECT_EQ(lv().GetTextBkColor(), RGB(4, 5, 6));
  EXPECT_EQ(lv().GetBkColor(), RGB(7, 8, 9));
  EXPECT_TRUE(lv().RedrawPage());
  EXPECT_EQ(lv().GetTopIndex(), 0);
}

TEST_P(ListViewModes, AllRowsAreReadInOrder) {
  std::vector<RowRecord> rows(7);  // replaced, not appended to
  lv().GetAllRows(rows);
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(lvtest::Show(rows[1]), "beta|1|0|-5|0|x2,|0,0");
  EXPECT_EQ(lvtest::Show(rows[2]), "alphabet|2|-1|7|0|x3,y3|0,0");
  ExpectAllFreed(true);
}

TEST_P(ListViewModes, BackgroundImageExchangesFreeTheirBuffers) {
  // The control in this Wine keeps no background image; the exchange still
  // places, and frees, the record and its text.
  lv().SetBkImage("C:\\no-such.bmp");
  EXPECT_EQ(lv().GetTextBkColor(), CLR_NONE);
  ExpectAllFreed(GetParam() != Mode::kLocal);
  EXPECT_EQ(lv().GetBkImage(), "");
  ExpectAllFreed(GetParam() != Mode::kLocal);
}

TEST_P(ListViewModes, EditLabelOpensTheControlsEditBox) {
  HWND edit = lv().EditLabel(0);
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(lv().GetEditControl(), edit);
  char text[32] = {};
  GetWindowTextA(edit, text, sizeof(text));
  EXPECT_STREQ(text, "alpha");
}

}  // namespace
