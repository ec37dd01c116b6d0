#include "png_writer.h"

#include <gtest/gtest.h>
#include <png.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <vector>

namespace lumox::host {
namespace {

class PngWriterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    directory_ = std::filesystem::temp_directory_path() /
                 ("lumox-png-" + std::to_string(getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(directory_);
  }
  void TearDown() override { std::filesystem::remove_all(directory_); }

  std::filesystem::path directory_;
};

// Reads a PNG back as 0x00RRGGBB words.
std::vector<uint32_t> ReadPng(const std::string& path, int& width, int& height) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return {};
  image.format = PNG_FORMAT_RGB;
  std::vector<uint8_t> bytes(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, bytes.data(), 0, nullptr)) return {};
  width = static_cast<int>(image.width);
  height = static_cast<int>(image.height);
  std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
  for (size_t i = 0; i < pixels.size(); ++i)
    pixels[i] = (bytes[i * 3] << 16) | (bytes[i * 3 + 1] << 8) | bytes[i * 3 + 2];
  return pixels;
}

TEST_F(PngWriterTest, RoundTripsAnAsymmetricPictureWithPaddedRows) {
  // 7x5 with a row pitch of 9 words: red top-left, blue bottom-right, a
  // green "L" in between; the padding must not reach the file.
  const int width = 7, height = 5, pitch = 9;
  std::vector<uint32_t> pixels(pitch * height, 0xDEADBEEF);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) pixels[y * pitch + x] = 0x000000;
  pixels[0] = 0xFF0000;
  pixels[(height - 1) * pitch + width - 1] = 0x0000FF;
  for (int y = 1; y < 4; ++y) pixels[y * pitch + 2] = 0x00FF00;
  pixels[3 * pitch + 3] = 0x00FF00;

  std::string path = (directory_ / "f.png").string();
  std::string error;
  ASSERT_TRUE(WritePng(path, pixels.data(), width, height, pitch * 4, error)) << error;

  int readWidth = 0, readHeight = 0;
  std::vector<uint32_t> read = ReadPng(path, readWidth, readHeight);
  ASSERT_EQ(readWidth, width);
  ASSERT_EQ(readHeight, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      EXPECT_EQ(read[y * width + x], pixels[y * pitch + x]) << x << "," << y;
}

TEST_F(PngWriterTest, SamePixelsGiveTheSameBytes) {
  std::vector<uint32_t> pixels(33 * 17);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint32_t>(i * 2654435761u) & 0xFFFFFF;
  std::string first = (directory_ / "a.png").string();
  std::string second = (directory_ / "b.png").string();
  std::string error;
  ASSERT_TRUE(WritePng(first, pixels.data(), 33, 17, 33 * 4, error));
  sleep(1);  // a time stamp in the file would now differ
  ASSERT_TRUE(WritePng(second, pixels.data(), 33, 17, 33 * 4, error));
  std::FILE* a = std::fopen(first.c_str(), "rb");
  std::FILE* b = std::fopen(second.c_str(), "rb");
  ASSERT_TRUE(a && b);
  int ca, cb;
  do {
    ca = std::fgetc(a);
    cb = std::fgetc(b);
    ASSERT_EQ(ca, cb);
  } while (ca != EOF);
  std::fclose(a);
  std::fclose(b);
}

TEST_F(PngWriterTest, FailureLeavesNoFileBehind) {
  uint32_t pixel = 0;
  std::string error;
  std::string path = (directory_ / "missing" / "f.png").string();
  EXPECT_FALSE(WritePng(path, &pixel, 1, 1, 4, error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(WritePng((directory_ / "g.png").string(), &pixel, 2, 1, 4, error))
      << "a pitch shorter than a row";
  EXPECT_TRUE(std::filesystem::is_empty(directory_));
}

}  // namespace
}  // namespace lumox::host
