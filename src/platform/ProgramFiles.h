// Where the program lives and where its data files go.
// Data files are named after the program: piyonote2.ini, .kdx, .kdw, .kdc, .html.
// Folder: PIYONOTE2_HOME when set; else beside the program when that folder belongs to the
// user and nobody else may write it, unless the program is installed (its desktop entry in
// <prefix>/share/applications); else $XDG_CONFIG_HOME/piyonote2 (default ~/.config/piyonote2).
#pragma once
#include <string>

namespace ProgramFiles {

// What data files the program creates get: they hold the user's notes and settings.
constexpr unsigned kPrivateFileMode = 0600;

// Full path of the running executable.
std::string ProgramPath();
// The executable's name without folder and extension ("piyonote2").
std::string BaseName();
// The folder the data files live in. Missing folders on the way are created 0700; an
// existing folder keeps its mode.
std::string DataFolder();
// A data file beside the program with its extension replaced: DataFile(".kdx").
std::string DataFile(const std::string& extension);

// True when `folder` is a folder of this user that nobody else may write: links planted in
// it, or files swapped, can only be the user's own.
bool IsPrivatelyWritable(const std::string& folder);

// Overrides ProgramPath (tests, and programs other than piyonote2 that share the files).
void SetProgramPathForTesting(const std::string& path);

}  // namespace ProgramFiles
