// Spoken names of single Windows-1252 characters, as a voice that reads
// every symbol aloud says them ("arrôba", "dividido por"). The names carry
// the accents that guide a reader to open or closed vowels ("zéro").
#pragma once

#include <cstdint>
#include <string_view>

namespace placarim::lang {

// The name of one character; empty for codes with no name (controls, the
// unassigned and invisible codes). A small accented letter takes the name of
// its capital (ø is "Ó cortado"); ÷ is "dividido por" and × "vezes".
std::string_view SymbolName(uint8_t code);

}  // namespace placarim::lang
