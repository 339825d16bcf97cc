#pragma once
// File names and file operations of the document workflow: the extension rules of the card
// file, its backup, autosave and alternate copies, and the quiet deletes and renames whose
// failures are never reported.
#include <optional>
#include <string>

namespace tabellan {

// The text from the last "." of the final path component to the end; empty without one.
std::string ExtractFileExt(const std::string& path);
// The final path component.
std::string ExtractFileName(const std::string& path);
// path with its extension replaced by ext, or ext appended when it has none.
std::string ChangeFileExt(const std::string& path, const std::string& ext);
// The absolute, normalised path; relative names are taken against the current directory.
std::string ExpandFileName(const std::string& path);

// A regular file (or a link to one) exists under path.
bool FileExists(const std::string& path);
// The permission bits of the file path names (links followed); nullopt when there is none.
std::optional<unsigned> FilePermissions(const std::string& path);
// The existing regular file that path names on a file system that ignores the letter case
// of extensions, as the card file's own is taken: path itself when it exists, else a file
// in its folder whose name differs only in the extension's case (x.txt for x.TXT); empty
// when there is none.
std::string FindFileIgnoringExtCase(const std::string& path);
void DeleteFileQuietly(const std::string& path);
// true when the file was moved; the caller decides whether that matters.
bool RenameFileQuietly(const std::string& from, const std::string& to);
// Gives the file a second name (a hard link); false when that fails or to exists.
bool LinkFileQuietly(const std::string& from, const std::string& to);

// Reads at most maxBytes (std::string::npos: all) from the start of the file; false with
// errno set when it cannot be opened or read.
bool ReadFilePrefix(const std::string& path, std::size_t maxBytes, std::string& data);

}  // namespace tabellan
