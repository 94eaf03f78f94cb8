#pragma once
// Where the list on screen meets config.ini for the launcher: the load at
// start, every save, and what the user is told when storing goes wrong.

#include "launcher/account_storage.h"
#include "launcher/program_paths.h"
#include "launcher/stored_version.h"
#include "ui/controls.h"

class ListStore {
 public:
  ListStore(ReportList list, const ProgramPaths& paths) : list_(list), paths_(paths) {}

  // Loads the list at start and finds out whether the program folder can be
  // written; either trouble is told once the window is idle.
  void Load();

  enum class Stored {
    kKept,      // stored, or not (then told); the rows on screen are the user's
    kReplaced,  // another program had replaced the file and the user chose to
                // load it: the rows on screen are the file's now
  };
  // Saves the list unless storing was stopped for this run. A failed save is
  // told once; every later save tries again, and the next failure after a
  // save that worked is told again. When the file is no longer the one this
  // run loaded or stored, nothing is stored and the user is asked whether to
  // load it or to store the list on screen over it.
  Stored Store();

  // Stops saving for this run and tells the user why (a text number), once.
  void StopStoring(unsigned reason);

 private:
  void TellFailure(SaveOutcome outcome);
  // Loads the file as at start; a list that could not be read whole stops storing.
  void Reload();

  ReportList list_;
  const ProgramPaths paths_;
  StoredVersion version_;
  // False once the list on screen may lack stored accounts (config.ini could
  // not be read): storing it then would lose them.
  bool storing_ = true;
  bool failureTold_ = false;  // since the last save that worked
};
