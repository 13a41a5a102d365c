// The record of play: one CSV line for every answered sum, appended to a file
// in the user's data directory, so that a teacher can see how a child is
// doing. A line goes to the file with one write as soon as the sum is
// answered: a program that is killed loses nothing already answered.
//
// Columns (UTF-8, comma-separated, quoted where needed):
//   data,hora,campeonato,titulo,fase,conta,resposta,resultado,segundos,aluno
// resultado is "gol", "erro" or "ajuda"; segundos run from the end of the
// spoken sum to the key that answered it, with one decimal; aluno is the
// name chosen from the class list, empty when none was.
//
// Records written before the aluno column existed have nine columns. The
// column is the last one so that such a file is simply appended to: its old
// lines and the new ones each say by their own number of fields which
// columns they hold, the reader takes every line by that count, and the
// file is never rewritten (a teacher may have it open in a spreadsheet, and
// a killed program must never lose what was already there).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace placarim::game {

enum class Outcome { kGoal, kMiss, kHelp };

inline constexpr std::string_view kRecordHeader =
    "data,hora,campeonato,titulo,fase,conta,resposta,resultado,segundos,aluno\n";
// The column names of records made before there was a class list.
inline constexpr std::string_view kNineColumnHeader =
    "data,hora,campeonato,titulo,fase,conta,resposta,resultado,segundos\n";

// One answered sum. Title, sum and answer are Windows-1252, as in the game.
struct AnsweredSum {
  platform::DateTime when;
  int championship = 0;
  std::string title;
  int phase = 0;
  std::string sum;  // "7 x 8 = 56"
  std::string answer;
  Outcome outcome = Outcome::kGoal;
  double seconds = 0;
  std::string child;  // empty: played without a name
};

// The CSV line (with its line end) for one answered sum.
std::string RecordLine(const AnsweredSum& answered);
std::string_view OutcomeName(Outcome outcome);

// Appends record lines to one file.
class PlayRecordWriter {
 public:
  explicit PlayRecordWriter(std::string path) : path_(std::move(path)) {}
  ~PlayRecordWriter();
  PlayRecordWriter(const PlayRecordWriter&) = delete;
  PlayRecordWriter& operator=(const PlayRecordWriter&) = delete;

  // Makes the directory and opens the file for appending; a new or empty file
  // gets the column names first. False when the file cannot be written.
  bool Open();
  // One line, written whole with one call; false when it could not be.
  bool Append(const AnsweredSum& answered);
  const std::string& Path() const { return path_; }

 private:
  bool WriteAll(std::string_view bytes);
  std::string path_;
  int fd_ = -1;
};

// One line of the record as read back (text fields UTF-8).
struct RecordRow {
  std::string date;  // YYYY-MM-DD
  std::string time;  // HH:MM:SS
  int championship = 0;
  std::string title;
  int phase = 0;
  std::string sum;
  std::string answer;
  Outcome outcome = Outcome::kGoal;
  double seconds = 0;
  std::string child;  // empty in nine-column lines
};

struct RecordReading {
  std::vector<RecordRow> rows;
  std::vector<int> bad_lines;  // line numbers that were not record lines
};

// Reads the whole record, nine- and ten-column lines alike; column-name
// lines (wherever record files were joined) and empty lines are skipped.
RecordReading ReadPlayRecord(std::string_view text);

}  // namespace placarim::game
