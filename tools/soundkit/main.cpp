// soundkit: makes every recording the system plays into a data tree.
//
//   soundkit --out DIR [--voice NAME] [--keys K1,K2,...] [--say KEY=TEXT]... [--list]
//
// --keys makes only the named keys; --say adds a spoken key to the letters
// directory; --list prints the files instead of making them. Any key that
// cannot be made stops the run with a message naming it and exit status 1.
#include <cstdio>
#include <cstring>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tools/soundkit/kit.h"
#include "tools/soundkit/kit_builder.h"

namespace {

using placarim::soundkit::KitItem;

struct Options {
  std::string out;
  std::string voice = "pt-br";
  std::set<std::string> keys;
  std::vector<KitItem> extra;
  bool list = false;
};

int Usage(const char* problem) {
  std::fprintf(stderr, "soundkit: %s\nusage: soundkit --out DIR [--voice NAME] [--keys K1,K2,...] "
                       "[--say KEY=TEXT]... [--list]\n", problem);
  return 2;
}

bool ParseOptions(int argc, char** argv, Options& options, const char*& problem) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool has_value = i + 1 < argc;
    if (arg == "--list") {
      options.list = true;
    } else if (arg == "--out" && has_value) {
      options.out = argv[++i];
    } else if (arg == "--voice" && has_value) {
      options.voice = argv[++i];
    } else if (arg == "--keys" && has_value) {
      std::stringstream list(argv[++i]);
      for (std::string key; std::getline(list, key, ',');)
        if (!key.empty()) options.keys.insert(key);
    } else if (arg == "--say" && has_value) {
      const std::string spec = argv[++i];
      const size_t eq = spec.find('=');
      if (eq == 0 || eq == std::string::npos) {
        problem = "--say needs KEY=TEXT";
        return false;
      }
      options.extra.push_back(placarim::soundkit::SpokenLetterItem(spec.substr(0, eq), spec.substr(eq + 1)));
    } else {
      problem = "unknown or incomplete option";
      return false;
    }
  }
  if (options.out.empty() && !options.list) {
    problem = "--out DIR is required";
    return false;
  }
  return true;
}

std::vector<KitItem> SelectItems(const Options& options, std::string& unknown) {
  std::vector<KitItem> chosen;
  std::set<std::string> found;
  for (KitItem& item : placarim::soundkit::PlanKit()) {
    if (!options.keys.empty() && !options.keys.contains(item.key)) continue;
    found.insert(item.key);
    chosen.push_back(std::move(item));
  }
  for (const std::string& key : options.keys)
    if (!found.contains(key)) unknown += (unknown.empty() ? "" : ", ") + key;
  chosen.insert(chosen.end(), options.extra.begin(), options.extra.end());
  return chosen;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  const char* problem = nullptr;
  if (!ParseOptions(argc, argv, options, problem)) return Usage(problem);
  std::string unknown;
  const std::vector<KitItem> items = SelectItems(options, unknown);
  if (!unknown.empty()) {
    std::fprintf(stderr, "soundkit: no such key: %s\n", unknown.c_str());
    return 2;
  }
  if (options.list) {
    for (const KitItem& item : items) std::printf("%s\n", item.path.c_str());
    return 0;
  }
  placarim::soundkit::KitBuilder builder(options.out, options.voice);
  for (const KitItem& item : items) {
    if (std::string error = builder.Make(item); !error.empty()) {
      std::fprintf(stderr, "soundkit: cannot make %s (%s): %s\n", item.key.c_str(), item.path.c_str(),
                   error.c_str());
      return 1;
    }
  }
  return 0;
}
