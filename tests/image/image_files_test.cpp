// Choosing files from a mask and sending each to the right reader.
#include <gtest/gtest.h>

#include <cstdlib>

#include "image/bmp_bytes.h"
#include "image/image_files.h"
#include "platform/temp_dir.h"

namespace lumox::testing {
namespace {

// Records what it was asked for and hands back a 1 x 1 picture.
class FakeImporter final : public PictureImporter {
 public:
  std::vector<ImportFilter> Filters() override { return {{"PNG", "png", ""}}; }
  bool Import(const std::string& path, DibPicture& picture, std::string&) override {
    paths.push_back(path);
    picture = DibPicture{1, 1, 24, {}, 0, 0, 0, {1, 2, 3, 0}};
    return true;
  }
  std::vector<std::string> paths;
};

class ImageFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    InstallPictureImporter(&importer);
    SetImagePosition(0);
    BmpFile bmp;
    bmp.width = 2, bmp.height = 1, bmp.bits = 8, bmp.colors = {0, 0xFF0000};
    bmp.data = {1, 0, 0, 0};
    const std::vector<uint8_t> bytes = bmp.Bytes();
    for (const char* name : {"a.bmp", "B.BMP", "c.png"}) {
      WriteFile(dir.File(name), std::string(bytes.begin(), bytes.end()));
    }
    std::filesystem::create_directory(dir.File("d.bmp"));  // a folder is never a match
  }
  void TearDown() override { InstallPictureImporter(nullptr); }
  TempDir dir;
  FakeImporter importer;
};

TEST_F(ImageFiles, SequentialOrderStartsAfterPositionZero) {
  const std::string mask = dir.path() + "/*";
  EXPECT_EQ(CountMatchingFiles(mask), 3);
  std::vector<std::string> chosen;
  for (int i = 0; i < 4; ++i) chosen.push_back(ChooseImageFile(mask, false));
  EXPECT_EQ(chosen, (std::vector<std::string>{dir.File("B.BMP"), dir.File("c.png"),
                                              dir.File("a.bmp"), dir.File("B.BMP")}));
}

TEST_F(ImageFiles, OneMatchIsAlwaysChosen) {
  for (bool random : {false, true}) {
    for (int i = 0; i < 5; ++i) EXPECT_EQ(ChooseImageFile(dir.path() + "/C.PNG", random), dir.File("c.png"));
  }
  EXPECT_EQ(ChooseImageFile(dir.path() + "/*.gif", false), "");
  EXPECT_EQ(CountMatchingFiles(dir.path() + "/missing/*"), 0);
  DibPicture p;
  std::string error;
  EXPECT_FALSE(LoadImageFromMask(dir.path() + "/missing/*", false, p, error));
  EXPECT_FALSE(error.empty());
}

TEST_F(ImageFiles, BmpFamilyByOurDecoderTheRestByTheImporter) {
  DibPicture p;
  std::string error;
  ASSERT_TRUE(LoadPicture(dir.File("B.BMP"), p, error)) << error;
  EXPECT_EQ(p.bitsPerPixel, 8);
  EXPECT_EQ(p.colors[1], 0xFF0000u);
  ASSERT_TRUE(LoadPicture(dir.File("c.png"), p, error));
  EXPECT_FALSE(LoadPicture(dir.File("missing.rle"), p, error));
  EXPECT_NE(error.find("missing.rle"), std::string::npos);
  EXPECT_EQ(importer.paths, std::vector<std::string>{dir.File("c.png")});
}

TEST_F(ImageFiles, MasksSplitAtEitherSlashAndTheHomeFolder) {
  EXPECT_EQ(SplitFileMask("C:\\Pictures\\*.bmp").directory, "C:\\Pictures\\");
  EXPECT_EQ(SplitFileMask("C:photo.bmp").pattern, "photo.bmp");
  EXPECT_EQ(SplitFileMask("holiday.png").directory, "");
#ifndef _WIN32
  const char* home = std::getenv("HOME");
  const std::string saved = home ? home : "";
  setenv("HOME", dir.path().c_str(), 1);
  EXPECT_EQ(CountMatchingFiles("~/*.bmp"), 2);
  setenv("HOME", saved.c_str(), 1);
#endif
}

}  // namespace
}  // namespace lumox::testing
