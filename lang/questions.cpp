#include "lang/questions.h"

#include "lang/cp1252.h"

namespace placarim::lang {
namespace {

bool OneOf(std::string_view word, std::initializer_list<std::string_view> list) {
  for (auto w : list) {
    if (EqualIgnoringCase(word, w)) return true;
  }
  return false;
}

bool IsQuestionWord(std::string_view w) {
  return OneOf(w, {"onde", "aonde", "quem", "quando", "como", "qual", "quais", "quanto", "quantos", "quanta",
                   "quantas", "cad\xEA", "porque", "porqu\xEA", "que", "qu\xEA"});
}

}  // namespace

bool OpensWithQuestionWord(std::string_view first, std::string_view second) {
  if (IsQuestionWord(first)) return true;
  // por que, o que, and a preposition before a question word.
  return OneOf(first, {"por", "o", "de", "da", "do", "para", "pra", "com", "em", "a", "at\xE9", "desde"}) &&
         IsQuestionWord(second);
}

}  // namespace placarim::lang
