#include "host/notice.h"

#include <string>
#include <vector>

#include "host/boundary.h"
#include "host/texts.h"

namespace {

struct PendingNotice {
  HWND owner;
  std::wstring text;
};

// Notices waiting for the message loop; only the user-interface thread
// touches them.
std::vector<PendingNotice>& Pending() {
  static std::vector<PendingNotice> pending;
  return pending;
}

std::wstring CaptionOf(HWND window) {
  wchar_t caption[256] = {};
  if (window == nullptr || GetWindowTextW(window, caption, 256) <= 0) return ProgramText(KL_TEXT_PROGRAM_NAME);
  return caption;
}

void CALLBACK ShowPendingNotices(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  NoThrowBoundary([] {
    std::vector<PendingNotice> notices;
    notices.swap(Pending());
    for (const PendingNotice& notice : notices) {
      const HWND owner = IsWindow(notice.owner) ? notice.owner : nullptr;
      MessageBoxW(owner, notice.text.c_str(), CaptionOf(owner).c_str(), MB_OK | MB_ICONWARNING | MB_SETFOREGROUND);
    }
  });
}

}  // namespace

void TellUser(const std::wstring& text) {
  MessageBoxW(nullptr, text.c_str(), ProgramText(KL_TEXT_PROGRAM_NAME).c_str(),
              MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
}

void TellUserWhenIdle(HWND window, const std::wstring& text) {
  NoThrowBoundary([&] {
    Pending().push_back({window ? GetAncestor(window, GA_ROOT) : nullptr, text});
    // A thread timer's message comes only once the queue has nothing else.
    if (Pending().size() == 1 && SetTimer(nullptr, 0, 0, ShowPendingNotices) == 0) {
      Pending().clear();
      TellUser(text);
    }
  });
}

bool AskUser(HWND window, const std::wstring& text) {
  const HWND owner = window ? GetAncestor(window, GA_ROOT) : nullptr;
  return MessageBoxW(owner, text.c_str(), CaptionOf(owner).c_str(),
                     MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON1 | MB_SETFOREGROUND) == IDYES;
}
