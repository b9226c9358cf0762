// Replacing a file so that it is either the old file or the complete new one, never a mix.
// The bytes go to a temporary file in the same folder, which is flushed to disk and then
// renamed over the target; the folder is flushed too so the rename survives a power cut.
#pragma once
#include <string>
#include <string_view>

namespace AtomicFile {

// Writes `bytes` as the whole content of `path` (a native file name). A symbolic link is
// followed, so the file it points to is replaced. A new file gets mode 0666 less the umask,
// a replaced file keeps its mode. On failure returns false with a short reason in `error`
// (when given); the old file is then untouched and no temporary file is left behind.
bool Write(const std::string& path, std::string_view bytes, std::string* error = nullptr);

}  // namespace AtomicFile
