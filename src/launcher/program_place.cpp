#include "launcher/program_place.h"

#include "host/files.h"
#include "host/temporary_folder.h"

bool HasTemplateProfile(const ProgramPaths& paths) { return IsExistingFolder(paths.templateProfile); }

bool IsUnpackedToLastingPlace(const ProgramPaths& paths) {
  return !IsInsideTemporaryFolder(paths.programFolder) && HasTemplateProfile(paths);
}
