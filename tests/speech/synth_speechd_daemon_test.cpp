// The speech service bridge against a real speech-dispatcher started by the
// test: its own configuration in a temporary directory, the espeak-ng output
// module, ALSA's null device, a private socket named by SPEECHD_ADDRESS.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "speech/synth_speechd.h"
#include "tests/speech/synth_fakes.h"

extern char** environ;

// libspeechd parses the service's list of several thousand voices with strstr
// over the whole reply; the sanitizers' checked strstr makes that quadratic
// (minutes). Their other checks stay on.
extern "C" const char* __asan_default_options() { return "intercept_strstr=0"; }

namespace placarim::speech {
namespace {

namespace fs = std::filesystem;
using testing::FakeSynthHost;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

class SpeechDaemon {
 public:
  SpeechDaemon() {
    dir_ = fs::temp_directory_path() / ("placarim-speechd-" + std::to_string(getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "conf" / "modules");
    fs::create_directories(dir_ / "log");
    std::ofstream(dir_ / "conf" / "speechd.conf")
        << "LogLevel 3\n"
        << "LogDir \"" << (dir_ / "log").string() << "\"\n"
        << "AudioOutputMethod \"alsa\"\n"
        << "AudioALSADevice \"null\"\n"
        << "AddModule \"espeak-ng\" \"sd_espeak-ng\" \"espeak-ng.conf\"\n"
        << "DefaultModule espeak-ng\n"
        << "DefaultLanguage \"pt-BR\"\n";
    std::ofstream(dir_ / "conf" / "modules" / "espeak-ng.conf") << "EspeakAudioChunkSize 2000\n";
    socket_ = (dir_ / "sock").string();
    const std::string conf = (dir_ / "conf").string(), log = (dir_ / "log").string(),
                      pid = (dir_ / "pid").string();
    const char* argv[] = {"speech-dispatcher", "-s", "-t", "0", "-c", "unix_socket", "-S", socket_.c_str(),
                          "-C", conf.c_str(), "-L", log.c_str(), "-P", pid.c_str(), nullptr};
    if (posix_spawnp(&pid_, "speech-dispatcher", nullptr, nullptr, const_cast<char**>(argv), environ) != 0) {
      pid_ = -1;
      return;
    }
    const auto start = Clock::now();
    while (!Answers() && Clock::now() - start < 15s) std::this_thread::sleep_for(20ms);
    setenv("SPEECHD_ADDRESS", ("unix_socket:" + socket_).c_str(), 1);
  }
  ~SpeechDaemon() {
    Kill();
    fs::remove_all(dir_);
  }
  bool Running() const { return pid_ > 0 && Answers(); }
  // Whether the daemon accepts connections on its socket.
  bool Answers() const {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socket_.c_str(), sizeof(address.sun_path) - 1);
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    const bool answers = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
    close(fd);
    return answers;
  }
  void Kill() {
    if (pid_ <= 0) return;
    kill(pid_, SIGKILL);
    int status = 0;
    const auto start = Clock::now();
    while (waitpid(pid_, &status, WNOHANG) == 0 && Clock::now() - start < 5s) std::this_thread::sleep_for(10ms);
    pid_ = -1;
  }

 private:
  fs::path dir_;
  std::string socket_;
  pid_t pid_ = -1;
};

std::string LongText() {
  std::string text;
  for (int i = 0; i < 60; ++i) text += "O time jogou muito bem e o torcedor cantou sem parar. ";
  return text;
}

// Polls like the speech layer; how long until silence (bounded).
Clock::duration RunUntilSilent(SpeechServiceBridge& bridge, Clock::duration limit = 30s) {
  const auto start = Clock::now();
  while (bridge.IsSpeaking(0) && Clock::now() - start < limit) {
  }
  return Clock::now() - start;
}

class SpeechDaemonTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { daemon_ = new SpeechDaemon; }
  static void TearDownTestSuite() {
    delete daemon_;
    daemon_ = nullptr;
  }
  void SetUp() override { ASSERT_TRUE(daemon_->Running()) << "speech-dispatcher did not start"; }

  static SpeechDaemon* daemon_;
  FakeSynthHost host_;
  // A deadline far beyond any test: ending must come from the notification.
  SpeechServiceBridge::Limits patient_{.speaking_floor_ms = 60'000, .speaking_per_byte_ms = 0, .close_ms = 3000};
};
SpeechDaemon* SpeechDaemonTest::daemon_ = nullptr;

TEST_F(SpeechDaemonTest, SpeaksAndHearsTheEnd) {
  SpeechServiceBridge bridge(host_, patient_);
  ASSERT_TRUE(bridge.Open(1, 0, 0));
  EXPECT_FALSE(bridge.BrazilianVoices().empty());
  EXPECT_EQ(bridge.ChosenVoice(), bridge.BrazilianVoices().front());
  for (const char* text : {"Gol do Brasil!", "7", ""}) {
    bridge.Speak(text);
    EXPECT_LT(RunUntilSilent(bridge), 20s) << "no end notification for " << text;
  }
  EXPECT_EQ(host_.beeps, 0);
  EXPECT_GE(host_.WakeUpCount(), 3u);
  bridge.Close();
}

TEST_F(SpeechDaemonTest, ALongTextIsCancelled) {
  SpeechServiceBridge bridge(host_, patient_);
  ASSERT_TRUE(bridge.Open(2, -5, 0));
  bridge.Speak(LongText());
  std::this_thread::sleep_for(300ms);
  EXPECT_TRUE(bridge.IsSpeaking(0)) << "a minute of speech ended within 300 ms";
  bridge.Stop();
  EXPECT_FALSE(bridge.IsSpeaking(0));
  // The service is still usable afterwards.
  bridge.Speak("depois");
  EXPECT_LT(RunUntilSilent(bridge), 20s);
  const auto start = Clock::now();
  bridge.Close();
  EXPECT_LT(Clock::now() - start, 5s);
}

TEST_F(SpeechDaemonTest, AServiceKilledMidTextMeansSilence) {
  SpeechServiceBridge bridge(host_, patient_);
  ASSERT_TRUE(bridge.Open(1, 0, 0));
  bridge.Speak(LongText());
  std::this_thread::sleep_for(200ms);
  daemon_->Kill();
  EXPECT_LT(RunUntilSilent(bridge), 3s);
  bridge.Speak("sem servi\xe7o");
  EXPECT_FALSE(bridge.IsSpeaking(0));
  const auto start = Clock::now();
  bridge.Close();
  EXPECT_LT(Clock::now() - start, 3s);
}

}  // namespace
}  // namespace placarim::speech
