#include "launcher/program_paths.h"

#include "host/text.h"

std::string ProgramPaths::ProfileFolderOf(const std::string& account) const {
  return JoinTexts({profileRoot, "\\", account});
}

ProgramPaths ProgramPathsIn(const std::string& programFolder) {
  return ProgramPaths{programFolder, JoinTexts({programFolder, "\\config.ini"}),
                      JoinTexts({programFolder, "\\UserData__Templete"}), JoinTexts({programFolder, "\\qnv"}),
                      JoinTexts({programFolder, "\\backup"})};
}
