// The fixed catalogue of the game's sentences and its two lists of football
// commentary. Texts are Windows-1252, exactly as the teacher sees them on screen
// (trailing and doubled blanks included).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace placarim::game {

class MessageCatalogue {
 public:
  static constexpr int kGoalPhraseCount = 25;
  static constexpr int kMissPhraseCount = 13;

  MessageCatalogue();

  // The default text of `key` (exact, case-sensitive match); nullptr when the
  // key is not in the catalogue.
  const std::string* Find(std::string_view key) const;
  size_t size() const { return entries_.size(); }

  // Phrases numbered from 1.
  const std::string& GoalPhrase(int n) const { return goal_phrases_.at(n - 1); }
  const std::string& MissPhrase(int n) const { return miss_phrases_.at(n - 1); }

 private:
  struct Entry {
    std::string_view key;
    std::string text;
  };
  std::vector<Entry> entries_;
  std::vector<std::string> goal_phrases_;
  std::vector<std::string> miss_phrases_;
};

// Windows-1252 form of a text written in this program's (UTF-8) source.
std::string Cp1252(std::string_view utf8);

}  // namespace placarim::game
