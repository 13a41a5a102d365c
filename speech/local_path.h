// Configured paths are written the way the suite's configuration has always
// written them: backslashes, a drive letter such as c:, Windows-1252 text.
// Every configured path passes through LocalPath before it reaches the file
// system. Recordings copied from elsewhere often differ in letter case, so a
// sound file is also found when only the case of its name differs.
#pragma once

#include <string>
#include <string_view>

namespace placarim::speech {

// "c:\kestra\som\" becomes "/kestra/som/"; "sons\a" becomes "sons/a"; a path
// already in this system's form is unchanged. Non-ASCII Windows-1252 text is
// turned into UTF-8, the file system's encoding (text that already is UTF-8
// stays as it is).
std::string LocalPath(std::string_view configured);

// Appends "/" to a non-empty directory that lacks it.
std::string WithTrailingSlash(std::string directory);

// LocalPath of a configured directory, with its trailing "/".
std::string LocalDirectory(std::string_view configured);

// `path` when it names an existing file; otherwise the first file of the same
// directory whose name matches ignoring ASCII letter case; otherwise `path`.
std::string FindFileIgnoringCase(const std::string& path);

// Whether `path` names an existing regular file, letter case of the name ignored.
bool FileExistsIgnoringCase(const std::string& path);

}  // namespace placarim::speech
