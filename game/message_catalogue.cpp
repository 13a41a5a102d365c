#include "game/message_catalogue.h"

#include <utility>

#include "platform/text_encoding.h"

namespace placarim::game {
namespace {

// The source is UTF-8; the texts are converted once, when the catalogue is made.
constexpr std::pair<std::string_view, std::string_view> kTexts[] = {
    {"PLINIC", "Tem início o jogo Placarim"},
    {"PLFIM", "Fim do Jogo Placarim"},
    {"PLARQNAO", "Arquivo placarim.cnf não foi achado"},
    {"PLNIVEL", "Em que campeonato você quer jogar?"},
    {"PLNIVEL1", "Treino no quintal"},
    {"PLNIVEL2", "Amistoso Colegas da Rua"},
    {"PLNIVEL3", "Campeonato do Bairro"},
    {"PLNIVEL4", "Taça Inter-bairros"},
    {"PLNIVEL5", "Campeonato Juvenil"},
    {"PLNIVEL6", "Campeonato Estadual"},
    {"PLNIVEL7", "Copa Brasil"},
    {"PLNIVEL8", "Copa Libertadores da América"},
    {"PLNIVEL9", "Copa do Mundo"},
    {"PLNIVEL0", "Digite TAB para treinamento tático avançado (só para craques)"},
    {"PLDESIST", "Já sei, está cansado, tudo bem, fica para a próxima!"},
    {"PLDENOVO", "Você tem que digitar o número do campeonato.  Vou repetir."},
    {"PLERRARQ", "Arquivo placarim.cnf está estragado, verifique!"},
    {"PLERRMAX", "Só posso realizar 30 jogos por fase"},
    {"PLFASE", "Tem início agora a fase "},
    {"PLFIMFAS", "Excelente, ganhou a fase!"},
    {"PLERRESP", "Não, não...  Tecle um ou mais números e depois enter"},
    {"PLERRTEC", "Nãnãnã, é pra teclar um número e depois ENTER."},
    {"PLQUERTB", "Quer conferir na tabuada?"},
    {"PLCONFTB", "Conferindo na tabuadinha!"},
    {"PLCNFTBG", "Vamos treinar na tabuadona?"},
    {"PLNGOL", "Uh! "},
    {"PLGOL", "Gol! "},
    {"PLCONFER", "Conferindo..."},
    {"PLERREXP", "Erro em uma conta!!!  Arquivo placarim.cnf estragado!"},
    {"PLDENOV1", "É, essa fase foi difícil, não deu para ganhar..."},
    {"PLDENOV2", "Vai ter que jogar essa fase de novo..."},
    {"PLGANHOU", "GANHOU O CAMPEONATO!!!"},
    {"PLTREITB", "Tem início o treino no Campo Federal da Tabuadona!"},
    {"PLUSESET", "Use as setinhas para andar"},
    {"PLAPENTR", "Aperte ENTER para saber o resultado, ESC termina"},
    // The class list, asked after the greeting when the teacher wrote one.
    {"PLQUEMJO", "Quem vai jogar?"},
    {"PLSETALU", "Use as setinhas para achar o seu nome, ENTER escolhe, ESC joga sem nome"},
    {"PLENTRA", "Entra em campo: "},
    {"PLSEMNOM", "Entra em campo um craque sem nome!"},
};

constexpr std::string_view kGoalPhrases[] = {
    "Gol de placa!",
    "Gol de bicicleta!",
    "Gol no ângulo!",
    "Foi la no canto, lá onde a coruja dorme!",
    "Gol de cobertura!",
    "Gol de cabeça!",
    "Gol no canto direito!",
    "Gol no canto esquerdo!",
    "Gol no ângulo direito!",
    "Gol no ângulo esquerdo!",
    "Bateu nas duas traves e entrou!",
    "Passou por baixo das pernas do goleiro, que frangaço!",
    "Bola para um canto, goleiro pro outro!",
    "A bola bateu no montinho artilheiro e enganou o goleiro!",
    "Uma fantástica folha seca!",
    "Entrou com bola e tudo!",
    "Esse foi de calcanhar!",
    "Voleio espetacular!",
    "Uma meia bicicleta!",
    "Que loucura, um gol de barriga!",
    "Pimba na gorduchinha!",
    "O goleiro nem viu a bola!",
    "Tá no filó!",
    "Golaço!",
    "Esse é de craque!",
};

constexpr std::string_view kMissPhrases[] = {
    "Gol contra!",
    "Arrancou a grama!",
    "Chutou o chão!",
    "Quase quebrou o pé!",
    "Errou a bola!",
    "Na trave!",
    "Chutou e não achou nada!",
    "Minha nossa, a bola saiu do estádio!",
    "Chutou mauzão!",
    "O que que eu vou dizer lá em casa!",
    "Esse até minha avó fazia!",
    "Pelo amor dos meus filhinhos!",
    "Foi chutar a bola e acertou no juiz!",
};

static_assert(std::size(kGoalPhrases) == MessageCatalogue::kGoalPhraseCount);
static_assert(std::size(kMissPhrases) == MessageCatalogue::kMissPhraseCount);

}  // namespace

std::string Cp1252(std::string_view utf8) { return platform::Utf8ToCp1252(utf8); }

MessageCatalogue::MessageCatalogue() {
  for (const auto& [key, text] : kTexts) entries_.push_back({key, Cp1252(text)});
  for (std::string_view phrase : kGoalPhrases) goal_phrases_.push_back(Cp1252(phrase));
  for (std::string_view phrase : kMissPhrases) miss_phrases_.push_back(Cp1252(phrase));
}

const std::string* MessageCatalogue::Find(std::string_view key) const {
  for (const Entry& entry : entries_) {
    if (entry.key == key) return &entry.text;
  }
  return nullptr;
}

}  // namespace placarim::game
