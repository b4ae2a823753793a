#pragma once
// File operations that keep data safe: a finished file replaces another in one rename.

#include <string>

namespace kalvora {

// Flushes the file's content to the disk.
bool SyncFile(const std::string& path);
// Moves `source` over `target` in one atomic step (same directory) and syncs the directory.
// Throws StoreError when the move fails.
void ReplaceFileAtomically(const std::string& source, const std::string& target);
// A name beside `target` for a file that is being built: "<target>.new".
std::string PendingFileName(const std::string& target);
bool FileExists(const std::string& path);
bool RemoveFileIfPresent(const std::string& path);

}  // namespace kalvora
