#include "lang/questions.h"

#include <gtest/gtest.h>

namespace placarim::lang {
namespace {

TEST(Questions, OpensWithQuestionWord) {
  struct Case {
    const char* first;
    const char* second;
    bool opens;
  } cases[] = {
      {"Onde", "est\xE1", true}, {"QUEM", "chutou", true}, {"quando", "", true},  {"Como", "foi", true},
      {"Qual", "\xE9", true},    {"quantas", "bolas", true}, {"cad\xEA", "a", true}, {"Por", "que", true},
      {"por", "qu\xEA", true},   {"O", "que", true},       {"De", "onde", true},   {"com", "quem", true},
      {"Que", "horas", true},    {"Voc\xEA", "sabe", false}, {"O", "menino", false}, {"Por", "favor", false},
      {"E", "quanto", false},    {"", "", false},          {"ondee", "", false},   {"Porto", "que", false},
  };
  for (const auto& c : cases) EXPECT_EQ(OpensWithQuestionWord(c.first, c.second), c.opens) << c.first << " " << c.second;
}

}  // namespace
}  // namespace placarim::lang
