#pragma once
// Launches of accounts, each on a thread of its own, so that the window keeps
// answering while a template is copied and a browser starts. A profile has at
// most one launch at a time: from the double-click until its browser has put
// up its marker (or has ended, or has had long enough), a further launch of
// the same profile is refused, so the template is never copied over a browser
// that is still starting. Launches of different accounts overlap.

#include <atomic>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>

#include "host/handles.h"
#include "launcher/program_paths.h"

class AccountLaunches {
 public:
  // Profiles are made under the paths' profile root, from their template.
  explicit AccountLaunches(ProgramPaths paths) : paths_(std::move(paths)) {}
  ~AccountLaunches();
  AccountLaunches(const AccountLaunches&) = delete;
  AccountLaunches& operator=(const AccountLaunches&) = delete;

  // Starts opening the account (see LaunchAccount) on a new thread. False,
  // with nothing started, when a launch of the same profile is under way,
  // when ending has begun, or when the thread cannot be made.
  bool Start(const std::string& browserPath, const std::string& account);

  // True while a launch of the profile folder (a full path, compared without
  // regard to case) is under way.
  bool IsUnderWay(const std::string& profileFolder);

  // Held while profiles are cleared: a launch makes its folders only outside
  // such a hold, so a clear never meets a half-made profile.
  std::unique_lock<std::mutex> HoldProfileRoot() { return std::unique_lock<std::mutex>(profileRoot_); }

  // Ends every launch: a copy under way runs to its end, and no browser is
  // started after it. Returns when all launch threads have ended. Later
  // starts are refused.
  void EndAll();

 private:
  struct Launch {
    std::string key;     // the profile folder, upper case
    std::string folder;  // the profile folder as made
    std::thread worker;
    std::atomic<bool> done{false};
    UniqueHandle browser;  // set by the worker before `done`
    unsigned long startedAt = 0;
  };

  void Run(Launch& launch, const std::string& browserPath, const std::string& account);
  // Launches whose thread has ended and whose browser has its marker up, has
  // ended or has had its time go; their threads are joined.
  void DropSettled();
  static bool IsSettled(Launch& launch);

  const ProgramPaths paths_;
  std::mutex launchesLock_;
  std::list<std::unique_ptr<Launch>> launches_;  // the user-interface thread alone changes the list
  std::mutex profileRoot_;
  std::atomic<bool> ending_{false};
};
