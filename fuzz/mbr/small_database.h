// A tiny database for the fuzz targets: silence and two vowels, with a pair
// missing so that bridging is exercised too.
#pragma once

#include "mbr/voice_database.h"

namespace placarim::mbr::fuzzing {

inline VoiceDatabase SmallDatabase() {
  VoiceDatabase db;
  db.phonemes = {"_", "a", "i"};
  const uint16_t pairs[][2] = {{0, 0}, {0, 1}, {1, 0}, {1, 1}, {0, 2}, {2, 0}, {1, 2}};
  for (const auto& p : pairs) {
    Diphone d{p[0], p[1], static_cast<uint32_t>(db.samples.size()), 320, 160, static_cast<uint32_t>(db.marks.size()), 0};
    for (uint32_t k = 0; k < 320; ++k) db.samples.push_back(static_cast<int16_t>((k % 70) * 300 - 10000));
    for (uint32_t m = 0; m < 320; m += 70, ++d.mark_count) db.marks.push_back(m | (p[0] + p[1] > 1 ? kVoicedMark : 0));
    db.diphones.push_back(d);
  }
  db.Index();
  return db;
}

}  // namespace placarim::mbr::fuzzing
