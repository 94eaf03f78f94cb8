#include "launcher/list_store.h"

#include "host/files.h"
#include "host/notice.h"
#include "host/texts.h"

namespace {

// The plain words for why a save failed; 0 for a save that was stored.
unsigned ReasonOf(SaveOutcome outcome) {
  switch (outcome) {
    case SaveOutcome::kFolderRefused:
      return KL_TEXT_WHY_FOLDER_REFUSED;
    case SaveOutcome::kDiskFull:
      return KL_TEXT_WHY_DISK_FULL;
    case SaveOutcome::kHeld:
      return KL_TEXT_WHY_HELD;
    case SaveOutcome::kReadOnly:
      return KL_TEXT_WHY_READ_ONLY;
    case SaveOutcome::kTooLarge:
      return KL_TEXT_WHY_TOO_LARGE;
    case SaveOutcome::kNotReadOut:
      return KL_TEXT_WHY_NOT_READ_OUT;
    case SaveOutcome::kFailed:
      return KL_TEXT_WHY_FAILED;
    case SaveOutcome::kStored:
    case SaveOutcome::kNotShown:
    case SaveOutcome::kChangedElsewhere:
      break;
  }
  return 0;
}

}  // namespace

void ListStore::Load() {
  // A list that is not on screen whole is never stored over the file.
  storing_ = LoadAccountList(list_, paths_.configFile, version_);
  const HWND window = list_.ControlWindowHandle();
  if (!storing_) TellUserWhenIdle(window, ProgramText(KL_TEXT_LIST_UNREADABLE));
  if (!CanWriteInFolder(paths_.programFolder)) TellUserWhenIdle(window, ProgramText(KL_TEXT_FOLDER_NOT_WRITABLE));
}

void ListStore::Reload() {
  if (!LoadAccountList(list_, paths_.configFile, version_)) StopStoring(KL_TEXT_LIST_UNREADABLE);
}

ListStore::Stored ListStore::Store() {
  if (!storing_) return Stored::kKept;
  SaveOutcome outcome =
      SaveAccountList(list_, paths_.configFile, paths_.backupFolder, version_, SaveCheck::kUnchangedOnly);
  if (outcome == SaveOutcome::kChangedElsewhere) {
    if (AskUser(list_.ControlWindowHandle(), ProgramText(KL_TEXT_FILE_CHANGED))) {
      Reload();
      return Stored::kReplaced;
    }
    outcome = SaveAccountList(list_, paths_.configFile, paths_.backupFolder, version_, SaveCheck::kOverwrite);
  }
  switch (outcome) {
    case SaveOutcome::kStored:
      failureTold_ = false;
      break;
    case SaveOutcome::kNotShown:
      StopStoring(KL_TEXT_LIST_INCOMPLETE);
      break;
    default:
      TellFailure(outcome);
      break;
  }
  return Stored::kKept;
}

void ListStore::TellFailure(SaveOutcome outcome) {
  if (failureTold_) return;
  failureTold_ = true;
  const unsigned reason = ReasonOf(outcome);
  TellUserWhenIdle(list_.ControlWindowHandle(),
                   ProgramText(KL_TEXT_SAVE_FAILED, {ProgramText(reason ? reason : KL_TEXT_WHY_FAILED)}));
}

void ListStore::StopStoring(unsigned reason) {
  if (!storing_) return;
  storing_ = false;
  TellUserWhenIdle(list_.ControlWindowHandle(), ProgramText(reason));
}
