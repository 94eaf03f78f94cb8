#pragma once
// Where the program keeps its files: everything lies in the program folder,
// and every path is made here once, from that folder.

#include <string>

struct ProgramPaths {
  std::string programFolder;    // no closing backslash
  std::string configFile;       // "<program folder>\config.ini"
  std::string templateProfile;  // "<program folder>\UserData__Templete"
  std::string profileRoot;      // "<program folder>\qnv"
  std::string backupFolder;     // "<program folder>\backup": the files that saves replaced

  // "<profile root>\<account>"
  std::string ProfileFolderOf(const std::string& account) const;
};

// The paths of a program that lives in `programFolder`.
ProgramPaths ProgramPathsIn(const std::string& programFolder);
