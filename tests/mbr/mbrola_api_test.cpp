// The shared library through its C entry points, loaded as the voice loads it.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "mbr/mbrola.h"
#include "tests/mbr/signal.h"

namespace {

struct Api {
  void* handle = nullptr;
  template <typename F>
  F Get(const char* name) {
    return reinterpret_cast<F>(dlsym(handle, name));
  }
};

class MbrolaApi : public ::testing::Test {
 protected:
  void SetUp() override {
    api_.handle = dlopen(std::getenv("PLACARIM_MBROLA_LIBRARY"), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(api_.handle, nullptr) << dlerror();
  }
  void TearDown() override {
    api_.Get<decltype(&close_MBR)>("close_MBR")();
    dlclose(api_.handle);
  }
  int Init(const std::string& path) {
    return api_.Get<decltype(&init_MBR)>("init_MBR")(const_cast<char*>(path.c_str()));
  }
  std::string ErrorText() {
    char text[200];
    api_.Get<decltype(&lastErrorStr_MBR)>("lastErrorStr_MBR")(text, sizeof text);
    return text;
  }
  std::vector<int16_t> Speak(const char* lines) {
    api_.Get<decltype(&write_MBR)>("write_MBR")(const_cast<char*>(lines));
    api_.Get<decltype(&flush_MBR)>("flush_MBR")();
    std::vector<int16_t> all;
    short buffer[1000];
    while (int n = api_.Get<decltype(&read_MBR)>("read_MBR")(buffer, 1000)) all.insert(all.end(), buffer, buffer + n);
    return all;
  }
  Api api_;
};

TEST_F(MbrolaApi, ExportsEveryEntryPoint) {
  for (const char* name : {"init_MBR", "init_rename_MBR", "write_MBR", "flush_MBR", "read_MBR", "readtype_MBR",
                           "close_MBR", "reset_MBR", "lastError_MBR", "lastErrorStr_MBR", "setNoError_MBR",
                           "getNoError_MBR", "setFreq_MBR", "getFreq_MBR", "setVolumeRatio_MBR",
                           "getVolumeRatio_MBR", "getVersion_MBR", "getDatabaseInfo_MBR", "setParser_MBR",
                           "init_Phone", "reset_Phone", "close_Phone", "appendf0_Phone"}) {
    EXPECT_NE(dlsym(api_.handle, name), nullptr) << name;
  }
}

// A missing, truncated or foreign database makes init fail with a text that
// says why; the real one opens.
TEST_F(MbrolaApi, InitRefusesBadDatabasesWithAClearError) {
  const std::string good = placarim::mbr::testing::DatabasePath();
  std::ifstream in(good, std::ios::binary);
  std::string image((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const std::string truncated = ::testing::TempDir() + "/truncated.db";
  std::ofstream(truncated, std::ios::binary) << image.substr(0, image.size() / 2);
  const std::string foreign = ::testing::TempDir() + "/foreign.db";
  std::ofstream(foreign, std::ios::binary) << "RIFF....WAVEfmt " << image.substr(16);
  const struct {
    std::string path;
    const char* says;
  } cases[] = {{"/nonexistent/db", "cannot open"}, {truncated, "truncated"}, {foreign, "not an Ilvra"}};
  for (const auto& c : cases) {
    EXPECT_LT(Init(c.path), 0) << c.path;
    EXPECT_NE(api_.Get<decltype(&lastError_MBR)>("lastError_MBR")(), 0);
    EXPECT_NE(ErrorText().find(c.says), std::string::npos) << ErrorText();
    EXPECT_EQ(api_.Get<decltype(&read_MBR)>("read_MBR")(nullptr, 0), 0);
  }
  EXPECT_EQ(Init(good), 0) << ErrorText();
}

// The settings the voice does not use still do what they say.
TEST_F(MbrolaApi, VolumeFrequencyTypesAndInformation) {
  ASSERT_EQ(Init(placarim::mbr::testing::DatabasePath()), 0);
  const std::vector<int16_t> plain = Speak("_ 50\na 200 50 230\n_ 50\n");
  ASSERT_EQ(plain.size(), 4800u);
  api_.Get<decltype(&setVolumeRatio_MBR)>("setVolumeRatio_MBR")(0.5f);
  EXPECT_FLOAT_EQ(api_.Get<decltype(&getVolumeRatio_MBR)>("getVolumeRatio_MBR")(), 0.5f);
  const std::vector<int16_t> half = Speak("_ 50\na 200 50 230\n_ 50\n");
  ASSERT_EQ(half.size(), plain.size());
  for (size_t i = 0; i < plain.size(); i += 97) EXPECT_NEAR(half[i], plain[i] / 2.0, 1.0) << i;
  api_.Get<decltype(&setVolumeRatio_MBR)>("setVolumeRatio_MBR")(1.0f);

  api_.Get<decltype(&setFreq_MBR)>("setFreq_MBR")(8000);
  EXPECT_EQ(api_.Get<decltype(&getFreq_MBR)>("getFreq_MBR")(), 8000);
  EXPECT_EQ(Speak("_ 50\na 200 50 230\n_ 50\n").size(), 2400u);
  api_.Get<decltype(&setFreq_MBR)>("setFreq_MBR")(16000);

  api_.Get<decltype(&write_MBR)>("write_MBR")(const_cast<char*>("a 100 50 230\n#\n"));
  std::vector<uint8_t> bytes(1600);
  EXPECT_EQ(api_.Get<decltype(&readtype_MBR)>("readtype_MBR")(bytes.data(), 1600, MBR_LIN8), 1600);
  EXPECT_EQ(api_.Get<decltype(&readtype_MBR)>("readtype_MBR")(bytes.data(), 1600, 99), 0);

  char text[300];
  EXPECT_GT(api_.Get<decltype(&getVersion_MBR)>("getVersion_MBR")(text, sizeof text), 0);
  EXPECT_GT(api_.Get<decltype(&getDatabaseInfo_MBR)>("getDatabaseInfo_MBR")(text, sizeof text, 0), 0);
  EXPECT_NE(std::string(text).find("1521 diphones"), std::string::npos) << text;
  EXPECT_EQ(api_.Get<decltype(&getDatabaseInfo_MBR)>("getDatabaseInfo_MBR")(text, 4, 1), 3);
  EXPECT_EQ(std::string(text), "_ p");

}

// A phone holds its name (cut to 7 characters), its length and the points
// appended, up to MBR_PHONE_POINTS; reset empties the points only.
TEST_F(MbrolaApi, PhonesHoldWhatTheyAreGiven) {
  auto init = api_.Get<decltype(&init_Phone)>("init_Phone");
  auto append = api_.Get<decltype(&appendf0_Phone)>("appendf0_Phone");
  auto* phone = static_cast<MbrPhone*>(init(const_cast<char*>("a"), 100));
  ASSERT_NE(phone, nullptr);
  EXPECT_STREQ(phone->name, "a");
  EXPECT_EQ(phone->length_ms, 100.0f);
  EXPECT_EQ(phone->point_count, 0);
  append(phone, 50, 230);
  append(phone, 90, 180);
  ASSERT_EQ(phone->point_count, 2);
  EXPECT_EQ(phone->points[0].position, 50.0f);
  EXPECT_EQ(phone->points[0].hz, 230.0f);
  EXPECT_EQ(phone->points[1].position, 90.0f);
  EXPECT_EQ(phone->points[1].hz, 180.0f);
  api_.Get<decltype(&reset_Phone)>("reset_Phone")(phone);
  EXPECT_EQ(phone->point_count, 0);
  EXPECT_STREQ(phone->name, "a");
  EXPECT_EQ(phone->length_ms, 100.0f);
  for (int i = 0; i < MBR_PHONE_POINTS + 5; ++i) append(phone, float(i), 200);
  EXPECT_EQ(phone->point_count, MBR_PHONE_POINTS);
  EXPECT_EQ(phone->points[MBR_PHONE_POINTS - 1].position, float(MBR_PHONE_POINTS - 1));
  api_.Get<decltype(&close_Phone)>("close_Phone")(phone);

  auto* long_name = static_cast<MbrPhone*>(init(const_cast<char*>("abcdefghij"), 5));
  EXPECT_STREQ(long_name->name, "abcdefg");
  api_.Get<decltype(&close_Phone)>("close_Phone")(long_name);
  auto* unnamed = static_cast<MbrPhone*>(init(nullptr, 5));
  EXPECT_STREQ(unnamed->name, "");
  api_.Get<decltype(&close_Phone)>("close_Phone")(unnamed);
  append(nullptr, 1, 1);  // a null phone is ignored
  api_.Get<decltype(&reset_Phone)>("reset_Phone")(nullptr);
}

// A renamed phoneme answers to its new name only; a clone to both.
TEST_F(MbrolaApi, RenameAndClone) {
  auto init_rename = api_.Get<decltype(&init_rename_MBR)>("init_rename_MBR");
  const std::string path = placarim::mbr::testing::DatabasePath();
  ASSERT_EQ(init_rename(const_cast<char*>(path.c_str()), const_cast<char*>("a A"), const_cast<char*>("e E2")), 0);
  auto write = api_.Get<decltype(&write_MBR)>("write_MBR");
  EXPECT_EQ(write(const_cast<char*>("A 100\nE2 100\ne 100\n")), 1);
  EXPECT_LT(write(const_cast<char*>("a 100\n")), 0);
  EXPECT_LT(init_rename(const_cast<char*>(path.c_str()), const_cast<char*>("a"), nullptr), 0);
}

}  // namespace
