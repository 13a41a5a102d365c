// The shipped rules and exceptions read as a Brazilian speaks: a table of
// the game's words, the numbers, and everyday and school words with the unit
// sequence each must give. Codes: a^ e^ o^ closed, a e o open, ~ nasal, an
// upper-case vowel stressed; y and w glides, " ya^" a vowel that starts from
// the glide before it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

#include "platform/text_encoding.h"
#include "voices/tradutor/translator.h"

namespace placarim::tradutor {
namespace {

std::string DifonesDir() {
  const char* bin = std::getenv("PLACARIM_BINARY_DIR");
  return std::string(bin ? bin : ".") + "/data/difones";
}

struct Reading {
  const char* word;  // UTF-8
  const char* codes;
};

TEST(PronunciationTable, ShippedRulesGiveTheExpectedUnits) {
  if (!std::filesystem::exists(DifonesDir() + "/regras.rgr")) GTEST_SKIP() << "rules not built";
  Translator translator;
  ASSERT_TRUE(translator.LoadLetterRules(DifonesDir() + "/regras.rgr"));
  ASSERT_TRUE(translator.LoadDiphoneExceptions(DifonesDir() + "/portug.exc"));
  const Reading readings[] = {
      // the game's own sentences
      {"Tem", "[ t/E/~y]"}, {"início", "[i/ n/I/ s// yu]"}, {"o", "[u]"}, {"jogo", "[ j/O^/ g/u]"},
      {"Placarim", "[ p/ l/a/ k/a/ r/I/~]"}, {"Fim", "[ f/I/~]"}, {"do", "[ d/u]"},
      {"Arquivo", "[a/ rr/ k/I/ v/u]"}, {"não", "[ n/A~w]"}, {"foi", "[ f/O^/y]"}, {"achado", "[a/ x/A/ d/u]"},
      {"Em", "[e/~y]"}, {"que", "[ k/i]"}, {"campeonato", "[ k/a/~/ p/e^/ yo^/ n/A/ t/u]"},
      {"você", "[ v/o^/ s/E^]"}, {"quer", "[ k/E/ rr]"}, {"jogar", "[ j/o^/ g/A/ rr]"},
      {"Treino", "[ t/ r/E^/y/ n/u]"}, {"no", "[ n/u]"}, {"quintal", "[ k/i/~/ t/A/w]"},
      {"Amistoso", "[a~/ m/i/ s/ t/O^/ z/u]"}, {"Colegas", "[ k/o^/ l/E/ g/a^/ s]"}, {"da", "[ d/a^]"},
      {"Rua", "[ rr/U/ wa^]"}, {"Bairro", "[ b/A/y/ rr/u]"}, {"Taça", "[ t/A/ s/a^]"},
      {"Inter", "[I/~/ t/e/ rr]"}, {"bairros", "[ b/A/y/ rr/u/ s]"}, {"Juvenil", "[ j/u/ v/e^/ n/I/w]"},
      {"Estadual", "[e^/ s/ t/a/ d/u/ wA/w]"}, {"Copa", "[ k/O/ p/a^]"}, {"Brasil", "[ b/ r/a/ z/I/w]"},
      {"Libertadores", "[ l/i/ b/e^/ rr/ t/a/ d/O^/ r/i/ s]"}, {"América", "[a~/ m/E/ r/i/ k/a^]"},
      {"Mundo", "[ m/U/~/ d/u]"}, {"Digite", "[ dj/i/ j/I/ tch/i]"}, {"TAB", "[ t/A/ b/i]"},
      {"para", "[ p/A/ r/a^]"}, {"treinamento", "[ t/ r/e^/y/ n/a~/ m/E/~/ t/u]"},
      {"tático", "[ t/A/ tch/i/ k/u]"}, {"avançado", "[a/ v/a/~/ s/A/ d/u]"}, {"só", "[ s/O]"},
      {"craques", "[ k/ r/A/ k/i/ s]"}, {"Já", "[ j/A]"}, {"sei", "[ s/E^/y]"}, {"está", "[e^/ s/ t/A]"},
      {"cansado", "[ k/a/~/ s/A/ d/u]"}, {"tudo", "[ t/U/ d/u]"}, {"bem", "[ b/E/~y]"},
      {"fica", "[ f/I/ k/a^]"}, {"a", "[a^]"}, {"próxima", "[ p/ r/O/ s/i/ m/a^]"},
      {"digitar", "[ dj/i/ j/i/ t/A/ rr]"}, {"número", "[ n/U~/ m/e^/ r/u]"}, {"Vou", "[ v/O^]"},
      {"repetir", "[ rr/e^/ p/e^/ tch/I/ rr]"}, {"estragado", "[e^/ s/ t/ r/a/ g/A/ d/u]"},
      {"verifique", "[ v/e^/ r/i/ f/I/ k/i]"}, {"posso", "[ p/O/ s/u]"},
      {"realizar", "[ rr/e^/ ya/ l/i/ z/A/ rr]"}, {"jogos", "[ j/O/ g/u/ s]"}, {"por", "[ p/o^/ rr]"},
      {"fase", "[ f/A/ z/i]"}, {"agora", "[a/ g/O/ r/a^]"}, {"Excelente", "[e^/ s/e^/ l/E/~/ tch/i]"},
      {"ganhou", "[ g/a~/ nh/O^]"}, {"Tecle", "[ t/E/ k/ l/i]"}, {"um", "[U/~]"}, {"ou", "[O^]"},
      {"mais", "[ m/A/y/ s]"}, {"números", "[ n/U~/ m/e^/ r/u/ s]"}, {"e", "[i]"},
      {"depois", "[ d/e^/ p/O^/y/ s]"}, {"enter", "[E/~/ t/e/ rr]"}, {"Nãnãnã", "[ n/A~/ n/A~/ n/A~]"},
      {"é", "[E]"}, {"pra", "[ p/ r/a^]"}, {"teclar", "[ t/e^/ k/ l/A/ rr]"},
      {"conferir", "[ k/o/~/ f/e^/ r/I/ rr]"}, {"na", "[ n/a^]"}, {"tabuada", "[ t/a/ b/u/ wA/ d/a^]"},
      {"Conferindo", "[ k/o/~/ f/e^/ r/I/~/ d/u]"}, {"tabuadinha", "[ t/a/ b/u/ wa/ dj/I/ nh/a^]"},
      {"Vamos", "[ v/A~/ m/u/ s]"}, {"treinar", "[ t/ r/e^/y/ n/A/ rr]"},
      {"tabuadona", "[ t/a/ b/u/ wa/ d/O~/ n/a^]"}, {"Uh", "[u/]"}, {"Gol", "[ g/O^/w]"},
      {"Erro", "[E^/ rr/u]"}, {"uma", "[u/ m/a^]"}, {"conta", "[ k/O/~/ t/a^]"}, {"essa", "[E/ s/a^]"},
      {"difícil", "[ dj/i/ f/I/ s/i/w]"}, {"deu", "[ d/E^/w]"}, {"ganhar", "[ g/a~/ nh/A/ rr]"},
      {"Vai", "[ v/A/y]"}, {"ter", "[ t/E^/ rr]"}, {"de", "[ dj/i]"}, {"novo", "[ n/O^/ v/u]"},
      {"Campo", "[ k/A/~/ p/u]"}, {"Federal", "[ f/e^/ d/e^/ r/A/w]"}, {"Use", "[u/ z/i]"}, {"as", "[a^/ s]"},
      {"setinhas", "[ s/e^/ tch/I/ nh/a^/ s]"}, {"andar", "[a/~/ d/A/ rr]"}, {"Aperte", "[a/ p/E/ rr/ tch/i]"},
      {"saber", "[ s/a/ b/E^/ rr]"}, {"resultado", "[ rr/e^/ z/u/w/ t/A/ d/u]"}, {"ESC", "[E/ s/ k/i]"},
      {"termina", "[ t/e^/ rr/ m/I/ n/a^]"}, {"placa", "[ p/ l/A/ k/a^]"},
      {"bicicleta", "[ b/i/ s/i/ k/ l/E/ t/a^]"}, {"ângulo", "[A/~/ g/u/ l/u]"}, {"la", "[ l/a^]"},
      {"canto", "[ k/A/~/ t/u]"}, {"lá", "[ l/A]"}, {"onde", "[O/~/ dj/i]"}, {"coruja", "[ k/o^/ r/U/ j/a^]"},
      {"dorme", "[ d/O/ rr/ m/i]"}, {"cobertura", "[ k/o^/ b/e^/ rr/ t/U/ r/a^]"},
      {"cabeça", "[ k/a/ b/E^/ s/a^]"}, {"direito", "[ dj/i/ r/E^/y/ t/u]"},
      {"esquerdo", "[e^/ s/ k/E^/ rr/ d/u]"}, {"Bateu", "[ b/a/ t/E^/w]"}, {"nas", "[ n/a^/ s]"},
      {"duas", "[ d/U/ wa^/ s]"}, {"traves", "[ t/ r/A/ v/i/ s]"}, {"entrou", "[e/~/ t/ r/O^]"},
      {"Passou", "[ p/a/ s/O^]"}, {"baixo", "[ b/A/y/ x/u]"}, {"das", "[ d/a^/ s]"},
      {"pernas", "[ p/E/ rr/ n/a^/ s]"}, {"goleiro", "[ g/o^/ l/E^/y/ r/u]"},
      {"frangaço", "[ f/ r/a/~/ g/A/ s/u]"}, {"Bola", "[ b/O/ l/a^]"}, {"pro", "[ p/ r/u]"},
      {"outro", "[O^/ t/ r/u]"}, {"montinho", "[ m/o/~/ tch/I/ nh/u]"},
      {"artilheiro", "[a/ rr/ tch/i/ lh/E^/y/ r/u]"}, {"enganou", "[e/~/ g/a~/ n/O^]"},
      {"fantástica", "[ f/a/~/ t/A/ s/ tch/i/ k/a^]"}, {"folha", "[ f/O^/ lh/a^]"}, {"seca", "[ s/E^/ k/a^]"},
      {"com", "[ k/o/~]"}, {"Esse", "[E^/ s/i]"}, {"calcanhar", "[ k/a/w/ k/a~/ nh/A/ rr]"},
      {"Voleio", "[ v/o^/ l/E^/y/ yu]"}, {"espetacular", "[e^/ s/ p/e^/ t/a/ k/u/ l/A/ rr]"},
      {"meia", "[ m/E^/y/ ya^]"}, {"loucura", "[ l/o^/ k/U/ r/a^]"}, {"barriga", "[ b/a/ rr/I/ g/a^]"},
      {"Pimba", "[ p/I/~/ b/a^]"}, {"gorduchinha", "[ g/o^/ rr/ d/u/ x/I/ nh/a^]"}, {"nem", "[ n/E/~y]"},
      {"viu", "[ v/I/w]"}, {"Tá", "[ t/A]"}, {"filó", "[ f/i/ l/O]"}, {"Golaço", "[ g/o^/ l/A/ s/u]"},
      {"craque", "[ k/ r/A/ k/i]"}, {"contra", "[ k/O/~/ t/ r/a^]"}, {"Arrancou", "[a/ rr/a/~/ k/O^]"},
      {"grama", "[ g/ r/A~/ m/a^]"}, {"Chutou", "[ x/u/ t/O^]"}, {"chão", "[ x/A~w]"},
      {"Quase", "[ kw/A/ z/i]"}, {"quebrou", "[ k/e^/ b/ r/O^]"}, {"pé", "[ p/E]"}, {"Errou", "[e^/ rr/O^]"},
      {"trave", "[ t/ r/A/ v/i]"}, {"achou", "[a/ x/O^]"}, {"nada", "[ n/A/ d/a^]"}, {"Minha", "[ m/I/ nh/a^]"},
      {"nossa", "[ n/O/ s/a^]"}, {"saiu", "[ s/a/ I/w]"}, {"estádio", "[e^/ s/ t/A/ dj// yu]"},
      {"mauzão", "[ m/a/w/ z/A~w]"}, {"eu", "[E^/w]"}, {"dizer", "[ dj/i/ z/E^/ rr]"}, {"casa", "[ k/A/ z/a^]"},
      {"até", "[a/ t/E]"}, {"avó", "[a/ v/O]"}, {"fazia", "[ f/a/ z/I/ ya^]"}, {"Pelo", "[ p/E^/ l/u]"},
      {"amor", "[a~/ m/O^/ rr]"}, {"dos", "[ d/u/ s]"}, {"meus", "[ m/E^/w/ s]"},
      {"filhinhos", "[ f/i/ lh/I/ nh/u/ s]"}, {"chutar", "[ x/u/ t/A/ rr]"}, {"acertou", "[a/ s/e^/ rr/ t/O^]"},
      {"juiz", "[ j/u/ I/ s]"},
      // numbers
      {"dois", "[ d/O^/y/ s]"}, {"três", "[ t/ r/E^/y/ s]"}, {"quatro", "[ kw/A/ t/ r/u]"},
      {"cinco", "[ s/I/~/ k/u]"}, {"seis", "[ s/E^/y/ s]"}, {"sete", "[ s/E/ tch/i]"}, {"oito", "[O^/y/ t/u]"},
      {"nove", "[ n/O/ v/i]"}, {"dez", "[ d/E/y/ s]"}, {"onze", "[O/~/ z/i]"}, {"doze", "[ d/O^/ z/i]"},
      {"treze", "[ t/ r/E^/ z/i]"}, {"catorze", "[ k/a/ t/O^/ rr/ z/i]"}, {"quinze", "[ k/I/~/ z/i]"},
      {"dezesseis", "[ d/e^/ z/e^/ s/E^/y/ s]"}, {"dezessete", "[ d/e^/ z/e^/ s/E/ tch/i]"},
      {"dezoito", "[ d/e^/ z/O^/y/ t/u]"}, {"dezenove", "[ d/e^/ z/e^/ n/O/ v/i]"},
      {"vinte", "[ v/I/~/ tch/i]"}, {"trinta", "[ t/ r/I/~/ t/a^]"}, {"quarenta", "[ kw/a/ r/E/~/ t/a^]"},
      {"cinquenta", "[ s/i/~/ kw/E/~/ t/a^]"}, {"sessenta", "[ s/e^/ s/E/~/ t/a^]"},
      {"setenta", "[ s/e^/ t/E/~/ t/a^]"}, {"oitenta", "[o^/y/ t/E/~/ t/a^]"},
      {"noventa", "[ n/o^/ v/E/~/ t/a^]"}, {"cem", "[ s/E/~y]"}, {"cento", "[ s/E/~/ t/u]"},
      {"duzentos", "[ d/u/ z/E/~/ t/u/ s]"}, {"trezentos", "[ t/ r/e^/ z/E/~/ t/u/ s]"},
      {"quatrocentos", "[ kw/a/ t/ r/o^/ s/E/~/ t/u/ s]"}, {"quinhentos", "[ k/i/ nh/E/~/ t/u/ s]"},
      {"seiscentos", "[ s/e^/y/ s/E/~/ t/u/ s]"}, {"setecentos", "[ s/E/ tch/i/ s/E/~/ t/u/ s]"},
      {"oitocentos", "[o^/y/ t/o^/ s/E/~/ t/u/ s]"}, {"novecentos", "[ n/O/ v/i/ s/E/~/ t/u/ s]"},
      {"mil", "[ m/I/w]"}, {"zero", "[ z/E/ r/u]"}, {"milhão", "[ m/i/ lh/A~w]"}, {"vezes", "[ v/E^/ z/i/ s]"},
      {"menos", "[ m/E^/ n/u/ s]"}, {"igual", "[i/ gw/A/w]"}, {"dividido", "[ dj/i/ v/i/ dj/I/ d/u]"},
      // open e and o, x as ks, loanwords, glides between vowels, nasal vowels
      {"dia", "[ dj/I/ ya^]"}, {"tia", "[ tch/I/ ya^]"}, {"lua", "[ l/U/ wa^]"},
      {"pessoa", "[ p/e^/ s/O^/ wa^]"}, {"história", "[/i/ s/ t/O/ r// ya^]"}, {"cama", "[ k/A~/ m/a^]"},
      {"banho", "[ b/A~/ nh/u]"}, {"homem", "[/O~/ m/e/~y]"}, {"ruim", "[ rr/u/ I/~]"},
      {"site", "[ s/A/y/ tch/i]"}, {"mouse", "[ m/A/w/ z/i]"}, {"shopping", "[ x/O/ p/i/~]"},
      {"internet", "[i/~/ t/e^/ rr/ n/E/ tch/i]"}, {"anexo", "[a~/ n/E/ k/ s/u]"}, {"nexo", "[ n/E/ k/ s/u]"},
      {"flexível", "[ f/ l/e^/ k/ s/I/ v/e^/w]"}, {"oxigênio", "[o^/ k/ s/i/ j/E~/ n// yu]"},
      {"táxi", "[ t/A/ k/ s/i]"}, {"esta", "[E/ s/ t/a^]"}, {"amarelo", "[a~/ m/a/ r/E/ l/u]"},
      {"belo", "[ b/E/ l/u]"}, {"leve", "[ l/E/ v/i]"}, {"neve", "[ n/E/ v/i]"}, {"ferro", "[ f/E/ rr/u]"},
      {"jovem", "[ j/O/ v/e/~y]"}, {"mole", "[ m/O/ l/i]"}, {"moda", "[ m/O/ d/a^]"}, {"roda", "[ rr/O/ d/a^]"},
      {"forma", "[ f/O/ rr/ m/a^]"}, {"pobre", "[ p/O/ b/ r/i]"}, {"nobre", "[ n/O/ b/ r/i]"},
      {"famosa", "[ f/a~/ m/O/ z/a^]"}, {"famosos", "[ f/a~/ m/O/ z/u/ s]"}, {"famoso", "[ f/a~/ m/O^/ z/u]"},
      {"parece", "[ p/a/ r/E/ s/i]"}, {"acontece", "[a/ k/o/~/ t/E/ s/i]"}, {"doce", "[ d/O^/ s/i]"},
      // school and everyday words
      {"escola", "[e^/ s/ k/O/ l/a^]"}, {"professor", "[ p/ r/o^/ f/e^/ s/O^/ rr]"},
      {"professora", "[ p/ r/o^/ f/e^/ s/O^/ r/a^]"}, {"aluno", "[a/ l/U/ n/u]"}, {"aluna", "[a/ l/U/ n/a^]"},
      {"caderno", "[ k/a/ d/E/ rr/ n/u]"}, {"lápis", "[ l/A/ p/i/ s]"}, {"borracha", "[ b/o^/ rr/A/ x/a^]"},
      {"livro", "[ l/I/ v/ r/u]"}, {"mesa", "[ m/E^/ z/a^]"}, {"cadeira", "[ k/a/ d/E^/y/ r/a^]"},
      {"janela", "[ j/a~/ n/E/ l/a^]"}, {"porta", "[ p/O/ rr/ t/a^]"}, {"quadro", "[ kw/A/ d/ r/u]"},
      {"giz", "[ j/I/ s]"}, {"mochila", "[ m/o^/ x/I/ l/a^]"}, {"lanche", "[ l/A/~/ x/i]"},
      {"recreio", "[ rr/e^/ k/ r/E^/y/ yu]"}, {"aula", "[A/w/ l/a^]"}, {"prova", "[ p/ r/O/ v/a^]"},
      {"nota", "[ n/O/ t/a^]"}, {"letra", "[ l/E^/ t/ r/a^]"}, {"palavra", "[ p/a/ l/A/ v/ r/a^]"},
      {"frase", "[ f/ r/A/ z/i]"}, {"leitura", "[ l/e^/y/ t/U/ r/a^]"},
      {"escrever", "[e^/ s/ k/ r/e^/ v/E^/ rr]"}, {"ler", "[ l/E^/ rr]"}, {"contar", "[ k/o/~/ t/A/ rr]"},
      {"somar", "[ s/o~/ m/A/ rr]"}, {"subtrair", "[ s/u/ b/ t/ r/a/ I/ rr]"},
      {"multiplicar", "[ m/u/w/ tch/i/ p/ l/i/ k/A/ rr]"}, {"dividir", "[ dj/i/ v/i/ dj/I/ rr]"},
      {"problema", "[ p/ r/o^/ b/ l/E^/ m/a^]"}, {"resposta", "[ rr/e^/ s/ p/O/ s/ t/a^]"},
      {"pergunta", "[ p/e^/ rr/ g/U/~/ t/a^]"}, {"certo", "[ s/E/ rr/ t/u]"}, {"errado", "[e^/ rr/A/ d/u]"},
      {"água", "[A/ gw/a^]"}, {"leite", "[ l/E^/y/ tch/i]"}, {"pão", "[ p/A~w]"}, {"café", "[ k/a/ f/E]"},
      {"arroz", "[a/ rr/O^/ s]"}, {"feijão", "[ f/e^/y/ j/A~w]"}, {"carne", "[ k/A/ rr/ n/i]"},
      {"frango", "[ f/ r/A/~/ g/u]"}, {"peixe", "[ p/E^/y/ x/i]"}, {"ovo", "[O^/ v/u]"},
      {"banana", "[ b/a~/ n/A~/ n/a^]"}, {"maçã", "[ m/a/ s/A~]"}, {"laranja", "[ l/a/ r/A/~/ j/a^]"},
      {"uva", "[u/ v/a^]"}, {"mãe", "[ m/A~y]"}, {"pai", "[ p/A/y]"}, {"irmão", "[i/ rr/ m/A~w]"},
      {"irmã", "[i/ rr/ m/A~]"}, {"avô", "[a/ v/O^]"}, {"filho", "[ f/I/ lh/u]"}, {"filha", "[ f/I/ lh/a^]"},
      {"família", "[ f/a~/ m/I/ l// ya^]"}, {"amigo", "[a~/ m/I/ g/u]"}, {"amiga", "[a~/ m/I/ g/a^]"},
      {"cachorro", "[ k/a/ x/O^/ rr/u]"}, {"gato", "[ g/A/ t/u]"}, {"pássaro", "[ p/A/ s/a/ r/u]"},
      {"cavalo", "[ k/a/ v/A/ l/u]"}, {"vaca", "[ v/A/ k/a^]"}, {"quarto", "[ kw/A/ rr/ t/u]"},
      {"cozinha", "[ k/o^/ z/I/ nh/a^]"}, {"banheiro", "[ b/a~/ nh/E^/y/ r/u]"}, {"sala", "[ s/A/ l/a^]"},
      {"sol", "[ s/O/w]"}, {"chuva", "[ x/U/ v/a^]"}, {"vento", "[ v/E/~/ t/u]"}, {"céu", "[ s/E/w]"},
      {"terra", "[ t/E/ rr/a^]"}, {"mar", "[ m/A/ rr]"}, {"rio", "[ rr/I/ yu]"},
      {"árvore", "[A/ rr/ v/o^/ r/i]"}, {"flor", "[ f/ l/O^/ rr]"}, {"azul", "[a/ z/U/w]"},
      {"vermelho", "[ v/e^/ rr/ m/E^/ lh/u]"}, {"verde", "[ v/E^/ rr/ dj/i]"}, {"preto", "[ p/ r/E^/ t/u]"},
      {"branco", "[ b/ r/A/~/ k/u]"}, {"rosa", "[ rr/O/ z/a^]"}, {"grande", "[ g/ r/A/~/ dj/i]"},
      {"pequeno", "[ p/e^/ k/E^/ n/u]"}, {"bonito", "[ b/o~/ n/I/ t/u]"}, {"feio", "[ f/E^/y/ yu]"},
      {"alto", "[A/w/ t/u]"}, {"hoje", "[/O^/ j/i]"}, {"ontem", "[O/~/ t/e/~y]"},
      {"amanhã", "[a~/ m/a~/ nh/A~]"}, {"semana", "[ s/e^/ m/A~/ n/a^]"}, {"mês", "[ m/E^/ s]"},
      {"ano", "[A~/ n/u]"}, {"hora", "[/O/ r/a^]"}, {"minuto", "[ m/i/ n/U/ t/u]"},
      {"segundo", "[ s/e^/ g/U/~/ d/u]"}, {"manhã", "[ m/a~/ nh/A~]"}, {"tarde", "[ t/A/ rr/ dj/i]"},
      {"noite", "[ n/O^/y/ tch/i]"}, {"sim", "[ s/I/~]"}, {"obrigado", "[o^/ b/ r/i/ g/A/ d/u]"},
      {"desculpa", "[ d/e^/ s/ k/U/w/ p/a^]"}, {"ajuda", "[a/ j/U/ d/a^]"}, {"brincar", "[ b/ r/i/~/ k/A/ rr]"},
      {"correr", "[ k/o^/ rr/E^/ rr]"}, {"pular", "[ p/u/ l/A/ rr]"}, {"comer", "[ k/o~/ m/E^/ rr]"},
      {"beber", "[ b/e^/ b/E^/ rr]"}, {"dormir", "[ d/o^/ rr/ m/I/ rr]"}, {"acordar", "[a/ k/o^/ rr/ d/A/ rr]"},
      {"falar", "[ f/a/ l/A/ rr]"}, {"ouvir", "[o^/ v/I/ rr]"}, {"escutar", "[e^/ s/ k/u/ t/A/ rr]"},
      {"tocar", "[ t/o^/ k/A/ rr]"}, {"mão", "[ m/A~w]"}, {"olho", "[O^/ lh/u]"}, {"boca", "[ b/O^/ k/a^]"},
      {"nariz", "[ n/a/ r/I/ s]"}, {"orelha", "[o^/ r/E^/ lh/a^]"}, {"braço", "[ b/ r/A/ s/u]"},
      {"perna", "[ p/E/ rr/ n/a^]"}, {"coração", "[ k/o^/ r/a/ s/A~w]"},
      {"computador", "[ k/o/~/ p/u/ t/a/ d/O^/ rr]"}, {"teclado", "[ t/e^/ k/ l/A/ d/u]"},
      {"tecla", "[ t/E/ k/ l/a^]"}, {"música", "[ m/U/ z/i/ k/a^]"}, {"som", "[ s/O/~]"}, {"voz", "[ v/O/ s]"},
      {"ouvido", "[o^/ v/I/ d/u]"}, {"cego", "[ s/E/ g/u]"}, {"bengala", "[ b/e/~/ g/A/ l/a^]"},
      {"braile", "[ b/ r/A/y/ l/i]"}, {"ônibus", "[O~/ n/i/ b/u/ s]"}, {"carro", "[ k/A/ rr/u]"},
      {"escada", "[e^/ s/ k/A/ d/a^]"}, {"rádio", "[ rr/A/ dj// yu]"}, {"telefone", "[ t/e^/ l/e^/ f/O~/ n/i]"},
      {"televisão", "[ t/e^/ l/e^/ v/i/ z/A~w]"}, {"futebol", "[ f/u/ t/e^/ b/O/w]"}, {"time", "[ tch/I/ m/i]"},
      {"torcida", "[ t/o^/ rr/ s/I/ d/a^]"}, {"pênalti", "[ p/E~/ n/a/w/ tch/i]"},
      {"escanteio", "[e^/ s/ k/a/~/ t/E^/y/ yu]"}, {"campeão", "[ k/a/~/ p/e^/ yA~w]"},
      {"vitória", "[ v/i/ t/O/ r// ya^]"}, {"derrota", "[ d/e^/ rr/O/ t/a^]"}, {"empate", "[e/~/ p/A/ tch/i]"},
      {"medalha", "[ m/e^/ d/A/ lh/a^]"}, {"pessoas", "[ p/e^/ s/O^/ wa^/ s]"}, {"cidade", "[ s/i/ d/A/ dj/i]"},
      {"estado", "[e^/ s/ t/A/ d/u]"}, {"país", "[ p/a/ I/ s]"}, {"bom", "[ b/O/~]"}, {"boa", "[ b/O^/ wa^]"},
      {"melhor", "[ m/e^/ lh/O/ rr]"}, {"pior", "[ p/i/ O/ rr]"}, {"muito", "[ m/U~/y/ t/u]"},
      {"pouco", "[ p/O^/ k/u]"}, {"sempre", "[ s/E/~/ p/ r/i]"}, {"nunca", "[ n/U/~/ k/a^]"},
      {"também", "[ t/a/~/ b/E/~y]"}, {"porque", "[ p/o^/ rr/ k/E^]"}, {"quando", "[ kw/A/~/ d/u]"},
      {"como", "[ k/O~/ m/u]"}, {"quem", "[ k/E/~y]"}, {"qual", "[ kw/A/w]"}, {"então", "[e/~/ t/A~w]"},
      {"antes", "[A/~/ tch/i/ s]"}, {"ciência", "[ s/i/ E/~/ s// ya^]"},
      {"matemática", "[ m/a/ t/e^/ m/A/ tch/i/ k/a^]"}, {"geografia", "[ j/e^/ yo^/ g/ r/a/ f/I/ ya^]"},
      {"português", "[ p/o^/ rr/ t/u/ g/E^/ s]"}, {"ideia", "[i/ d/E/y/ ya^]"}, {"série", "[ s/E/ r// yi]"},
      {"próprio", "[ p/ r/O/ p/ r// yu]"}, {"farmácia", "[ f/a/ rr/ m/A/ s// ya^]"},
      {"Antônio", "[a/~/ t/O~/ n// yu]"}, {"Maria", "[ m/a/ r/I/ ya^]"}, {"praia", "[ p/ r/A/y/ ya^]"},
      {"criança", "[ k/ r/i/ yA/~/ s/a^]"}, {"piano", "[ p/i/ yA~/ n/u]"}, {"violão", "[ v/i/ yo^/ l/A~w]"},
      {"biologia", "[ b/i/ yo^/ l/o^/ j/I/ ya^]"}, {"teatro", "[ t/e^/ yA/ t/ r/u]"},
      // stress of -z and -eais/-uais; x read s or ks
{"talvez", "[ t/a/w/ v/E^/ s]"}, {"capaz", "[ k/a/ p/A/ s]"}, {"rapaz", "[ rr/a/ p/A/ s]"}, {"xadrez", "[ x/a/ d/ r/E^/ s]"}, {"arroz", "[a/ rr/O^/ s]"}, {"veloz", "[ v/e^/ l/O/ s]"}, {"cartaz", "[ k/a/ rr/ t/A/ s]"}, {"rapidez", "[ rr/a/ p/i/ d/E^/ s]"}, {"reais", "[ rr/e^/ yA/y/ s]"}, {"ideais", "[i/ d/e^/ yA/y/ s]"}, {"atuais", "[a/ t/u/ wA/y/ s]"}, {"trouxe", "[ t/ r/O^/ s/i]"}, {"trouxeram", "[ t/ r/o^/ s/E^/ r/a/~w]"}, {"trouxer", "[ t/ r/o^/ s/E^/ rr]"}, {"auxílio", "[a/w/ s/I/ l// yu]"}, {"tóxico", "[ t/O/ k/ s/i/ k/u]"},
      // an accent before the tilde takes the stress: the ão, ã stays unstressed
      {"órgão", "[O/ rr/ g/a~w]"}, {"órfãos", "[O/ rr/ f/a~w/ s]"}, {"bênção", "[ b/E/~/ s/a~w]"},
      {"sótão", "[ s/O/ t/a~w]"}, {"ímã", "[I/ m/a~]"}, {"irmão", "[i/ rr/ m/A~w]"}, {"mãe", "[ m/A~y]"},
  };
  std::set<std::string> words;
  for (const auto& r : readings) {
    words.insert(r.word);
    const std::string codes = translator.TranslateToDiphoneCodes(platform::Utf8ToCp1252(r.word));
    EXPECT_EQ(codes, r.codes) << r.word;
    // One stress a word (two upper-case vowels are two stresses), except in
    // compounds and repeated syllables, which keep a second one.
    const std::set<std::string> compounds = {"Nãnãnã", "setecentos", "novecentos"};
    int stressed = 0;
    for (char c : codes) stressed += c == 'A' || c == 'E' || c == 'I' || c == 'O' || c == 'U';
    EXPECT_LE(stressed, compounds.count(r.word) ? 3 : 1) << r.word;
  }
  EXPECT_GE(words.size(), 300u);
}

}  // namespace
}  // namespace placarim::tradutor
