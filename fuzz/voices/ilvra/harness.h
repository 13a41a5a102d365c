// Small language tables shared by the Ilvra fuzz targets, so that each
// target drives the stages after the one it fuzzes.
#pragma once

#include <string>
#include <vector>

#include "voices/ilvra/front_end.h"
#include "voices/ilvra/phoneme_set.h"

namespace placarim::ilvra::fuzz {

inline const RuleSet& SmallRules() {
  static const RuleSet rules = [] {
    RuleSet r;
    ParseIlvraRules("#(A)\\%=\xA8@\n(A)M%=am&w\n(A)=a\n](E)[=e\n(E)+=ee\n(I)&=i\n(O)%=u\n(O)*=o\n"
                    "(R)[=r2\n%(R)=\xA8rr\n(R)=r\n(S)%=s2\n_(S)#=z\n|(S)=s\n(C)+=s\n(C)=k&s\n(L)=l\n"
                    "(M)=m\n(X)\\%=\n(Z)=z\n(T)I=tx\n",
                    r);
    ParseIlvraExceptions("CASA=KAZA\nMAR=MAR|X\nSEM\n", r);
    return r;
  }();
  return rules;
}

inline const ProsodyTables& SmallProsody() {
  static const ProsodyTables tables = [] {
    ProsodyTables t;
    ParseProsody("[DUR\xC7\xC3O]\na=90\n_,=200\n[CHAVES]\nde=FN\nquem=QW\n[PROS\xD3\x44IA]\nHERTZ=230\n"
                 "TABHERTZ=0,70,80,90,95,100,110,120,130,140\n|XX|..=542\n|QW|=?85\n..|--|=?22\n",
                 t, nullptr);
    return t;
  }();
  return tables;
}

inline const DiphoneList& SomeDiphones() {
  static const DiphoneList list = [] {
    DiphoneList d;
    d.Assign({"_-a", "a-_", "a-y", "r2-_", "s-a", "k-a"});
    return d;
  }();
  return list;
}

inline void RunFrom(const std::vector<std::string>& contours, const RuleSet& rules, const ProsodyTables& prosody,
                    const DiphoneList& diphones) {
  const auto phonemes = WordsToPhonemes(contours, rules);
  PhonemesToMbrola(phonemes, prosody, diphones, 1.3, 0.7);
}

}  // namespace placarim::ilvra::fuzz
