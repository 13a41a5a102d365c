#include "platform/config_file.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "platform/text_encoding.h"

namespace placarim::platform {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

char FoldAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  }
  return true;
}

// A value written in matching single or double quotes loses them.
std::string_view Unquote(std::string_view v) {
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
    return v.substr(1, v.size() - 2);
  }
  return v;
}

// Calls `line` for every line; CR LF, LF and a lone CR all end a line.
template <typename F>
void ForEachLine(std::string_view text, F line) {
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      line(text.substr(start));
      return;
    }
    line(text.substr(start, end - start));
    start = end + 1;
    if (text[end] == '\r' && start < text.size() && text[start] == '\n') ++start;
  }
}

// The file's name as it is spelt in `directory`: the exact name when present,
// else the first entry that differs only in letter case.
std::optional<std::filesystem::path> FindIgnoringCase(const std::filesystem::path& directory,
                                                      std::string_view name) {
  std::error_code ec;
  const auto exact = directory / std::string(name);
  if (std::filesystem::is_regular_file(exact, ec)) return exact;
  std::filesystem::directory_iterator it(directory, ec);
  if (ec) return std::nullopt;
  for (; it != std::filesystem::directory_iterator(); it.increment(ec)) {
    if (ec) break;
    if (SameName(it->path().filename().string(), name) && it->is_regular_file(ec)) {
      return it->path();
    }
  }
  return std::nullopt;
}

}  // namespace

ConfigText::ConfigText(std::string_view text) {
  Section* current = nullptr;
  ForEachLine(text, [&](std::string_view raw) {
    const std::string_view line = Trim(raw);
    if (line.empty() || line.front() == ';') return;
    if (line.front() == '[') {
      const size_t close = line.find(']');
      if (close == std::string_view::npos) return;  // not a header: ignored
      sections_.push_back({std::string(Trim(line.substr(1, close - 1))), {}});
      current = &sections_.back();
      return;
    }
    const size_t equals = line.find('=');
    if (current == nullptr || equals == std::string_view::npos) return;
    current->entries.emplace_back(std::string(Trim(line.substr(0, equals))),
                                  std::string(Unquote(Trim(line.substr(equals + 1)))));
  });
}

std::optional<std::string> ConfigText::Get(std::string_view section, std::string_view key) const {
  section = Trim(section);
  key = Trim(key);
  for (const Section& s : sections_) {
    if (!SameName(s.name, section)) continue;
    // Only the first section of a name counts: a later duplicate is ignored.
    for (const auto& [k, v] : s.entries) {
      if (SameName(k, key)) return v;
    }
    return std::nullopt;
  }
  return std::nullopt;
}

std::optional<std::string> ReadConfigValue(const std::string& path, std::string_view section,
                                           std::string_view key) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  std::string_view view(bytes);
  if (view.starts_with("\xEF\xBB\xBF")) view.remove_prefix(3);  // a UTF-8 byte order mark
  return ConfigText(FileTextToCp1252(view)).Get(section, key);
}

std::string SystemConfigDirectory() {
  const char* dir = std::getenv("PLACARIM_SYSCONFDIR");
  return (dir != nullptr && *dir != '\0') ? std::string(dir) : std::string(PLACARIM_DEFAULT_SYSCONFDIR);
}

std::string LocateConfigFile(const std::string& start_directory) {
  if (auto found = FindIgnoringCase(SystemConfigDirectory(), kConfigFileName)) {
    return found->string();
  }
  if (auto found = FindIgnoringCase(start_directory, kConfigFileName)) return found->string();
  return (std::filesystem::path(start_directory) / std::string(kConfigFileName)).string();
}

const std::string& StartDirectory() {
  static const std::string directory = [] {
    std::error_code ec;
    auto current = std::filesystem::current_path(ec);
    return ec ? std::string(".") : current.string();
  }();
  return directory;
}

}  // namespace placarim::platform
