#include "lang/symbol_names.h"

#include <array>
#include <string>

namespace placarim::lang {
namespace {

// The tables below are written in UTF-8 for the reader of this file; their
// characters are all below U+0100, so each two-byte sequence is one byte.
std::string Latin1(std::string_view utf8) {
  std::string out;
  for (size_t i = 0; i < utf8.size(); ++i) {
    const auto lead = static_cast<uint8_t>(utf8[i]);
    if ((lead == 0xC2 || lead == 0xC3) && i + 1 < utf8.size()) {
      out += static_cast<char>(((lead & 0x03) << 6) | (static_cast<uint8_t>(utf8[++i]) & 0x3F));
    } else {
      out += utf8[i];
    }
  }
  return out;
}

template <size_t N>
void Fill(std::array<std::string, 256>& names, int first, const char* const (&utf8)[N]) {
  for (size_t i = 0; i < N; ++i) names[first + i] = Latin1(utf8[i]);
}

std::array<std::string, 256> MakeNames() {
  std::array<std::string, 256> n;
  const char* const low[] = {"espaço", "exclamação", "aspas", "sustenido", "cifrão", "porcento", "é comercial",
                             "apóstrofo", "abre parênteses", "fecha parênteses", "asterisco", "mais", "vírgula",
                             "traço", "ponto", "barra", "zéro", "um", "dois", "três", "quatro", "cinco", "seis",
                             "séte", "oito", "nóve", "dois pontos", "ponto e vírgula", "menor que", "igual",
                             "maior que", "interrogação", "arrôba"};
  Fill(n, 32, low);
  // C and D keep a leading space: spelled words stay apart at those letters.
  const char* const letters[] = {"a",   "bê", " sê", " dê", "é",    "éfe", "jê",     "agá",    "i",
                                 "jóta", "cá", "éle", "ême", "êne", "ó",   "pê",     "quê",    "érre",
                                 "ésse", "tê", "u",   "vê",  "dábliu", "xis", "ípsilon", "zê"};
  Fill(n, 'A', letters);
  Fill(n, 'a', letters);
  n['j'] = "jota";
  n['n'] = "ene";
  const char* const brackets[] = {"abre colchete", "barra invertida", "fecha colchete", "circunflexo",
                                  "sublinhado", "crase"};
  Fill(n, 91, brackets);
  const char* const braces[] = {"abre chave", "barra vertical", "fecha chave", "til"};
  Fill(n, 123, braces);
  const char* const high[] = {"exclamação reversa", "centavos de dólar", "libras", "símbolo de moeda", "iene",
                              "barra interrompida", "parágrafo", "trema", "copyright", "ordinal feminino",
                              "Aspas esquerdas", "negação", "hífen", "Marca registrada", "mácron", "grau",
                              "mais ou menos", "elevado ao quadrado", "elevado ao cubo", "acento agudo", "mi",
                              "pi", "ponto no meio", "cedilha", "expoente um", "ordinal masculino",
                              "aspas direitas", "um quarto", "um meio", "três quartos", "interrogação reversa"};
  Fill(n, 161, high);
  const char* const capitals[] = {"A grave", "A agudo", "A circunflexo", "A com til", "A com trema", "A bola",
                                  "A É", "Cê cedilha", "É grave", "É agudo", "É circunflexo", "É com trema",
                                  "I grave", "I agudo", "I circunflexo", "I com trema", "Dê cortado",
                                  "N com til", "Ó grave", "Ó agudo", "Ó circunflexo", "Ó com til", "Ó tremado",
                                  "vezes", "Ó cortado", "U grave", "U agudo", "U circunflexo", "U com trema"};
  Fill(n, 192, capitals);
  // Small accented letters are named as their capitals; 221 to 224 have no
  // name, so neither have ý, þ and ÿ.
  for (int c = 225; c < 256; ++c) n[c] = n[c - 32];
  // Division is not a letter whose capital is ×.
  n[0xF7] = "dividido por";
  return n;
}

}  // namespace

std::string_view SymbolName(uint8_t code) {
  static const std::array<std::string, 256> names = MakeNames();
  return names[code];
}

}  // namespace placarim::lang
