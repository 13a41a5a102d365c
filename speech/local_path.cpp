#include "speech/local_path.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>

#include "platform/text_encoding.h"

namespace placarim::speech {
namespace {

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return FoldAscii(x) == FoldAscii(y); });
}

bool IsRegularFile(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool HasNonAscii(std::string_view text) {
  return std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

}  // namespace

std::string LocalPath(std::string_view configured) {
  std::string path(configured);
  if (path.size() >= 2 && IsAsciiLetter(path[0]) && path[1] == ':') path.erase(0, 2);
  std::replace(path.begin(), path.end(), '\\', '/');
  if (HasNonAscii(path) && !platform::LooksLikeUtf8(path)) path = platform::Cp1252ToUtf8(path);
  return path;
}

std::string WithTrailingSlash(std::string directory) {
  if (!directory.empty() && directory.back() != '/') directory += '/';
  return directory;
}

std::string LocalDirectory(std::string_view configured) { return WithTrailingSlash(LocalPath(configured)); }

std::string FindFileIgnoringCase(const std::string& path) {
  if (path.empty() || IsRegularFile(path)) return path;
  const size_t slash = path.rfind('/');
  const std::string directory = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  if (name.empty()) return path;
  DIR* dir = ::opendir(directory.c_str());
  if (dir == nullptr) return path;
  std::string found = path;
  while (const dirent* entry = ::readdir(dir)) {
    if (!SameIgnoringCase(entry->d_name, name)) continue;
    const std::string candidate = (slash == std::string::npos ? std::string() : directory) + entry->d_name;
    if (IsRegularFile(candidate)) {
      found = candidate;
      break;
    }
  }
  ::closedir(dir);
  return found;
}

bool FileExistsIgnoringCase(const std::string& path) { return IsRegularFile(FindFileIgnoringCase(path)); }

}  // namespace placarim::speech
