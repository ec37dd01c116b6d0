#include "platform/registry_text.h"

#include <gtest/gtest.h>

namespace lumox {
namespace {

const RegRoot kUser = RegRoot::CurrentUser;

TEST(RegistryTextTest, ReadsWhatOtherToolsWriteToo) {
  // CRLF line ends, the newer header, comments, blank lines, a lower-case
  // root, spaces in hex lists and continued hex lines.
  const std::string text =
      "Windows Registry Editor Version 5.00\r\n"
      "\r\n"
      "; a comment\r\n"
      "[hkey_current_user\\Control Panel\\Screen Saver.Lumox]\r\n"
      "\"Speed\"=dword:0000000A\r\n"
      "\"DisplayMode\"=hex:01, 02,\\\r\n"
      "  03,04\r\n"
      "@=\"default\"\r\n";
  RegistryTree tree;
  std::string error;
  ASSERT_TRUE(ParseRegistryText(text, tree, error)) << error;
  RegValue value;
  ASSERT_TRUE(tree.ReadValue(kUser, "Control Panel\\Screen Saver.Lumox", "Speed", value));
  EXPECT_EQ(value.type, kRegDword);
  EXPECT_EQ(value.data, (std::vector<uint8_t>{10, 0, 0, 0}));
  ASSERT_TRUE(tree.ReadValue(kUser, "Control Panel\\Screen Saver.Lumox", "DisplayMode", value));
  EXPECT_EQ(value.data, (std::vector<uint8_t>{1, 2, 3, 4}));
  ASSERT_TRUE(tree.ReadValue(kUser, "Control Panel\\Screen Saver.Lumox", "", value));
  EXPECT_EQ(value.type, kRegSz);
  EXPECT_EQ(value.data, (std::vector<uint8_t>{'d', 'e', 'f', 'a', 'u', 'l', 't', 0}));

  RegistryTree empty;  // an empty text is an empty registry
  EXPECT_TRUE(ParseRegistryText("", empty, error));
  EXPECT_TRUE(empty.EnumSubkeys(kUser, "").empty());
}

TEST(RegistryTextTest, RejectsMalformedTextNamingTheLine) {
  const std::pair<const char*, const char*> cases[] = {  // the text, the line to name
      {"[HKEY_CURRENT_USER\\A]\n", "line 1"},                          // no header
      {"REGEDIT4\n\"a\"=dword:00000001\n", "line 2"},                  // value outside a key
      {"REGEDIT4\n[HKEY_NOWHERE\\A]\n", "line 2"},                     // unknown root
      {"REGEDIT4\n[HKEY_CURRENT_USERX]\n", "line 2"},                  // root name runs on
      {"REGEDIT4\n[HKEY_CURRENT_USER\\A\n", "line 2"},                 // unclosed key
      {"REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"a=dword:1\n", "line 3"},   // unclosed name
      {"REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"a\\q\"=hex:01\n", "line 3"},  // bad escape
      {"REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"a\"=dword:1\n", "line 3"},     // short dword
      {"REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"a\"=dword:0000000g\n", "line 3"},
      {"REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"a\"=hex:1\n", "line 3"},       // half a byte
      {"REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"a\"=hex:g0\n", "line 3"},
      {"REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"a\"=hex:01,\n", "line 3"},     // trailing comma
      {"REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"a\"=hex:01,\\\n", "line 3"},   // cut after "\"
      {"REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"a\"=hex(zz):01\n", "line 3"},
      {"REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"a\"=\"text\" extra\n", "line 3"},
      {"REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"a\"=-\n", "line 3"},
      {"REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"a\" = hex:01\n", "line 3"},
      {"REGEDIT4\n[HKEY_CURRENT_USER\\A\tB]\n", "line 2"},             // control character
  };
  for (const auto& [text, line] : cases) {
    RegistryTree tree;
    std::string error;
    EXPECT_FALSE(ParseRegistryText(text, tree, error)) << text;
    EXPECT_TRUE(error.starts_with(line)) << text << " -> " << error;
  }
}

}  // namespace
}  // namespace lumox
