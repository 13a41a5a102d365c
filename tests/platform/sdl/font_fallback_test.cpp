// With no font installed at all (fontconfig configured with none) the console
// window still opens, on a private X server, and shows its text in the
// built-in font: a window is what brings the child's keys in.
#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/sdl/sdl_platform.h"
#include "tests/support/xvfb_server.h"

namespace placarim::platform::sdl {
namespace {

using placarim::testing::CommandOutput;
using placarim::testing::XvfbServer;

TEST(FontFallback, WithoutAnyFontTheWindowOpensAndShowsText) {
  XvfbServer server;
  std::string error;
  ASSERT_TRUE(server.Start(1024, 768, error)) << error;
  SdlPlatform platform;
  WindowSettings settings;
  settings.char_width = 12;
  settings.char_height = 22;
  settings.columns = 10;
  settings.rows = 2;
  std::unique_ptr<Surface> surface = platform.CreateWindow(settings);
  ASSERT_NE(surface, nullptr);
  EXPECT_EQ(surface->Metrics().width, 12);
  EXPECT_EQ(surface->Metrics().height, 22);
  const std::string window = placarim::testing::WindowOfProcess(getpid());
  ASSERT_FALSE(window.empty());

  const uint8_t text[] = {'P', 'l', 'a', 'c', 0xE3};  // Windows-1252 ã
  surface->DrawRun(0, 0, text, 5, Rgb{255, 255, 255}, Rgb{0, 0, 0});
  surface->Present();
  // White dots in the first five cells once the frame reaches the server.
  int white = 0;
  const int64_t end = platform.GetClock().NowMs() + 5000;
  while (white == 0 && platform.GetClock().NowMs() < end) {
    platform.GetClock().SleepMs(0);  // presents the pending frame
    const std::string rgb =
        CommandOutput("import -silent -window " + window + " -crop 60x22+0+0 -depth 8 rgb:-");
    for (size_t i = 0; i + 2 < rgb.size(); i += 3) {
      white += rgb[i] == '\xFF' && rgb[i + 1] == '\xFF' && rgb[i + 2] == '\xFF';
    }
  }
  EXPECT_GT(white, 5 * 10);
}

}  // namespace
}  // namespace placarim::platform::sdl
