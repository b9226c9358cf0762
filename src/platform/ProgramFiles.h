// Where the program lives and where its data files go.
// Data files are named after the program: piyonote2.ini, .kdx, .kdw, .kdc, .html.
// Folder: PIYONOTE2_HOME when set; else beside the program when that folder is writable;
// else $XDG_CONFIG_HOME/piyonote2 (default ~/.config/piyonote2).
#pragma once
#include <string>

namespace ProgramFiles {

// Full path of the running executable.
std::string ProgramPath();
// The executable's name without folder and extension ("piyonote2").
std::string BaseName();
// The folder the data files live in (created when missing).
std::string DataFolder();
// A data file beside the program with its extension replaced: DataFile(".kdx").
std::string DataFile(const std::string& extension);

// Overrides ProgramPath (tests, and programs other than piyonote2 that share the files).
void SetProgramPathForTesting(const std::string& path);

}  // namespace ProgramFiles
