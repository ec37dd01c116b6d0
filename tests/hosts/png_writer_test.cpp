#include "png_writer.h"

#include <gtest/gtest.h>
#include <png.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "platform/temp_dir.h"

namespace lumox::host {
namespace {

std::vector<char> FileBytes(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

TEST(PngWriterTest, RoundTripsPaddedRowsWritesTheSameBytesTwiceAndLeavesNothingOnFailure) {
  const testing::TempDir temp;
  const std::filesystem::path directory = temp.path();
  // 7x5 with a row pitch of 9 words: red top-left, blue bottom-right, a
  // green "L"; the padding must not reach the file.
  const int width = 7, height = 5, pitch = 9;
  std::vector<uint32_t> pixels(pitch * height, 0xDEADBEEF);
  for (int y = 0; y < height; ++y) std::fill_n(&pixels[y * pitch], width, 0);
  pixels[0] = 0xFF0000;
  pixels[(height - 1) * pitch + width - 1] = 0x0000FF;
  for (int y = 1; y < 4; ++y) pixels[y * pitch + 2] = 0x00FF00;
  pixels[3 * pitch + 3] = 0x00FF00;
  std::string error;
  ASSERT_TRUE(WritePng((directory / "a.png").string(), pixels.data(), width, height, pitch * 4,
                       error)) << error;

  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  ASSERT_TRUE(png_image_begin_read_from_file(&image, (directory / "a.png").c_str()));
  image.format = PNG_FORMAT_RGB;
  std::vector<uint8_t> read(PNG_IMAGE_SIZE(image));
  ASSERT_TRUE(png_image_finish_read(&image, nullptr, read.data(), 0, nullptr));
  ASSERT_EQ(image.width * 100 + image.height, 705u);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const uint8_t* rgb = &read[(y * width + x) * 3];
      EXPECT_EQ(uint32_t(rgb[0] << 16 | rgb[1] << 8 | rgb[2]), pixels[y * pitch + x]) << x << "," << y;
    }
  }

  sleep(1);  // a time stamp in the file would now differ
  ASSERT_TRUE(WritePng((directory / "b.png").string(), pixels.data(), width, height, pitch * 4,
                       error));
  EXPECT_EQ(FileBytes(directory / "a.png"), FileBytes(directory / "b.png"));

  std::filesystem::remove(directory / "a.png");
  std::filesystem::remove(directory / "b.png");
  EXPECT_FALSE(WritePng((directory / "missing" / "f.png").string(), pixels.data(), 1, 1, 4, error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(WritePng((directory / "g.png").string(), pixels.data(), 2, 1, 4, error))
      << "a pitch shorter than a row";
  EXPECT_TRUE(std::filesystem::is_empty(directory));
}

}  // namespace
}  // namespace lumox::host
