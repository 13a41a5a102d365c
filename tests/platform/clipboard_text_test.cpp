// Windows-1252 text on the UTF-8 clipboard, over the headless platform's.
#include "platform/clipboard_text.h"

#include <gtest/gtest.h>

#include "platform/fake/fake_platform.h"

namespace placarim::platform {
namespace {

TEST(ClipboardText, CarriesWindows1252AsUtf8) {
  fake::FakeClipboard clipboard;
  CopyCp1252ToClipboard(clipboard, std::string_view("ma\xE7\xE3\0junk", 9));
  EXPECT_EQ(clipboard.text, "ma\xC3\xA7\xC3\xA3");

  clipboard.text = "abcdef";
  char buf[8] = "zzzzzzz";
  PasteCp1252FromClipboard(clipboard, buf, 4);
  EXPECT_STREQ(buf, "abc");
  clipboard.text = "p\xC3\xA3o";
  PasteCp1252FromClipboard(clipboard, buf, sizeof buf);
  EXPECT_STREQ(buf, "p\xE3o");

  clipboard.busy = true;
  PasteCp1252FromClipboard(clipboard, buf, sizeof buf);
  EXPECT_STREQ(buf, "p\xE3o");  // untouched
  CopyCp1252ToClipboard(clipboard, "new");
  clipboard.busy = false;
  EXPECT_EQ(clipboard.text, "p\xC3\xA3o");

  clipboard.text.reset();
  PasteCp1252FromClipboard(clipboard, buf, sizeof buf);
  EXPECT_EQ(buf[0], 0);
  buf[0] = 'k';
  PasteCp1252FromClipboard(clipboard, buf, 0);
  EXPECT_EQ(buf[0], 'k');
}

}  // namespace
}  // namespace placarim::platform
