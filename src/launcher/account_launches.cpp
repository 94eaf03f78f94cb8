#include "launcher/account_launches.h"

#include <windows.h>

#include <optional>

#include "host/code_page.h"
#include "host/com_scope.h"
#include "host/window.h"
#include "launcher/launch.h"

namespace {

// How long a started browser may take to put up its marker before another
// launch of its profile is let through (a browser that never marks a profile,
// or hangs before it does).
constexpr DWORD kMarkerWaitMs = 30000;
}  // namespace

AccountLaunches::~AccountLaunches() { EndAll(); }

bool AccountLaunches::Start(const std::string& browserPath, const std::string& account) {
  if (ending_) return false;
  const std::string folder = paths_.ProfileFolderOf(account);
  const std::string key = UpperCaseAnsi(folder);
  if (IsUnderWay(folder)) return false;
  auto launch = std::make_unique<Launch>();
  launch->key = key;
  launch->folder = folder;
  launch->startedAt = GetTickCount();
  Launch& added = *launch;
  {
    std::lock_guard<std::mutex> lock(launchesLock_);
    launches_.push_back(std::move(launch));
  }
  try {
    added.worker = std::thread([this, &added, browserPath, account] { Run(added, browserPath, account); });
  } catch (const std::system_error&) {
    std::lock_guard<std::mutex> lock(launchesLock_);
    launches_.pop_back();
    return false;
  }
  return true;
}

void AccountLaunches::Run(Launch& launch, const std::string& browserPath, const std::string& account) {
  // COM for this thread alone: the template copy's automation object lives here.
  ThreadApartment apartment;
  std::optional<std::string> profile;
  {
    std::lock_guard<std::mutex> hold(profileRoot_);
    if (!ending_) profile = PrepareProfileFolder(paths_, account);
  }
  if (profile && !ending_) RefreshProfile(paths_, *profile);
  // Once ending has begun nothing more is started: the copy above is whole.
  if (profile && !ending_) {
    UniqueHandle browser = StartBrowser(browserPath, *profile);
    std::lock_guard<std::mutex> lock(launchesLock_);
    launch.browser = std::move(browser);
  }
  launch.done = true;
}

bool AccountLaunches::IsSettled(Launch& launch) {
  if (!launch.done) return false;
  if (!launch.browser) return true;
  if (WaitForSingleObject(launch.browser.get(), 0) == WAIT_OBJECT_0) return true;
  if (GetTickCount() - launch.startedAt >= kMarkerWaitMs) return true;
  return IsProfileInUse(launch.folder);
}

void AccountLaunches::DropSettled() {
  std::list<std::unique_ptr<Launch>> settled;
  {
    std::lock_guard<std::mutex> lock(launchesLock_);
    for (auto it = launches_.begin(); it != launches_.end();) {
      auto next = std::next(it);
      if (IsSettled(**it)) settled.splice(settled.end(), launches_, it);
      it = next;
    }
  }
  for (auto& launch : settled)
    if (launch->worker.joinable()) launch->worker.join();
}

bool AccountLaunches::IsUnderWay(const std::string& profileFolder) {
  DropSettled();
  const std::string key = UpperCaseAnsi(profileFolder);
  std::lock_guard<std::mutex> lock(launchesLock_);
  for (const auto& launch : launches_)
    if (launch->key == key) return true;
  return false;
}

void AccountLaunches::EndAll() {
  ending_ = true;
  std::list<std::unique_ptr<Launch>> all;
  {
    std::lock_guard<std::mutex> lock(launchesLock_);
    all.swap(launches_);
  }
  for (auto& launch : all)
    if (launch->worker.joinable()) launch->worker.join();
}
