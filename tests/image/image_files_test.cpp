// Choosing files from a mask and sending each to the right reader.
#include <gtest/gtest.h>

#include <cstdlib>

#include "image/bmp_bytes.h"
#include "image/image_files.h"
#include "platform/temp_dir.h"

namespace lumox::testing {
namespace {

// Records the paths it was asked for and hands back a 1 x 1 picture.
class FakeImporter final : public PictureImporter {
 public:
  std::vector<ImportFilter> Filters() override { return {}; }
  bool Import(const std::string& path, DibPicture& picture, std::string&) override {
    paths.push_back(path);
    picture = DibPicture{1, 1, 24, {}, 0, 0, 0, {1, 2, 3, 0}};
    return true;
  }
  std::vector<std::string> paths;
};

// "a.bmp", "B.BMP", "c.png" (all three a small BMP) and a folder "d.bmp".
class ImageFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    InstallPictureImporter(&importer);
    SetImagePosition(0);
    BmpFile bmp;
    bmp.width = 2, bmp.height = 1, bmp.colors = {0, 0xFF0000}, bmp.data = {1, 0, 0, 0};
    const std::vector<uint8_t> bytes = bmp.Bytes();
    for (const char* name : {"a.bmp", "B.BMP", "c.png"}) WriteFile(dir.File(name), std::string(bytes.begin(), bytes.end()));
    std::filesystem::create_directory(dir.File("d.bmp"));
  }
  void TearDown() override { InstallPictureImporter(nullptr); }
  TempDir dir;
  FakeImporter importer;
};

TEST_F(ImageFiles, ChoosingInOrderAtRandomAndFromNothing) {
  const std::string all = dir.path() + "/*";
  EXPECT_EQ(CountMatchingFiles(all), 3);
  std::vector<std::string> chosen;
  for (int i = 0; i < 4; ++i) chosen.push_back(ChooseImageFile(all, false));
  EXPECT_EQ(chosen, (std::vector<std::string>{dir.File("B.BMP"), dir.File("c.png"), dir.File("a.bmp"), dir.File("B.BMP")}));
  for (bool random : {false, true})
    for (int i = 0; i < 5; ++i) EXPECT_EQ(ChooseImageFile(dir.path() + "/C.PNG", random), dir.File("c.png"));
  EXPECT_EQ(ChooseImageFile(dir.path() + "/*.gif", false), "");
  DibPicture p;
  std::string error;
  EXPECT_FALSE(LoadImageFromMask(dir.path() + "/missing/*", false, p, error));
  EXPECT_FALSE(error.empty());
#ifndef _WIN32
  const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
  setenv("HOME", dir.path().c_str(), 1);
  EXPECT_EQ(CountMatchingFiles("~/*.bmp"), 2);
  setenv("HOME", home.c_str(), 1);
#endif
  EXPECT_EQ(SplitFileMask("C:\\Pictures\\*.bmp").directory, "C:\\Pictures\\");
}

TEST_F(ImageFiles, BmpFamilyByOurDecoderTheRestByTheImporter) {
  DibPicture p;
  std::string error;
  ASSERT_TRUE(LoadPicture(dir.File("B.BMP"), p, error)) << error;
  EXPECT_EQ(p.colors[1], 0xFF0000u);
  ASSERT_TRUE(LoadPicture(dir.File("c.png"), p, error));
  EXPECT_EQ(p.bitsPerPixel, 24);  // the importer's picture, not the BMP inside
  EXPECT_FALSE(LoadPicture(dir.File("missing.rle"), p, error));
  EXPECT_NE(error.find("missing.rle"), std::string::npos);
  EXPECT_EQ(importer.paths, std::vector<std::string>{dir.File("c.png")});
}

}  // namespace
}  // namespace lumox::testing
