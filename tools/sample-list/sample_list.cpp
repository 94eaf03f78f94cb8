// sample-list.exe ACCOUNT...: stores a list of these accounts in config.ini
// beside itself, exactly as the program stores its own, so that a staged
// program folder can show a filled list (screenshots, demonstrations).
#include <windows.h>

#include <commctrl.h>

#include <string>

#include "launcher/account_storage.h"
#include "launcher/program_paths.h"
#include "host/files.h"
#include "host/list_content.h"
#include "ui/controls.h"

int main(int argc, char** argv) {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&controls);
  // A hidden list of the program's two columns holds the rows while they are stored.
  HWND list = CreateWindowExA(0, WC_LISTVIEWA, "", LVS_REPORT, 0, 0, 200, 200, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
  if (list == nullptr) return 1;
  for (int column = 0; column < 2; ++column) {
    LVCOLUMNA heading = {};
    heading.mask = LVCF_WIDTH | LVCF_SUBITEM;
    heading.cx = 100;
    heading.iSubItem = column;
    SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&heading));
  }
  Bytes rows;
  for (int i = 1; i < argc; ++i)
    for (const Bytes& part : {EncodeRowRecord(-1, 0, std::to_string(i)), EncodeCellRecord(-1, argv[i])})
      rows.insert(rows.end(), part.begin(), part.end());
  ReportList(list).SetContent(rows);
  StoredVersion version;
  SaveAccountList(ReportList(list), ProgramPathsIn(ProgramFolder()).configFile, {}, version, SaveCheck::kOverwrite);
  const int stored = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
  DestroyWindow(list);
  return stored == argc - 1 ? 0 : 1;
}
