// Decoding what a capture device delivers: little-endian bytes of each
// layout into float samples, and the formats refused with a message.
#include "sample_format.h"

#include <gtest/gtest.h>

#include <vector>

namespace soundfeed {
namespace {

struct Layout {
  SampleKind kind;
  int sampleBytes;
  std::vector<uint8_t> half;          // +0.5
  std::vector<uint8_t> minusQuarter;  // -0.25
};

const Layout kLayouts[] = {
    {SampleKind::kFloat32, 4, {0x00, 0x00, 0x00, 0x3F}, {0x00, 0x00, 0x80, 0xBE}},
    {SampleKind::kInt16, 2, {0x00, 0x40}, {0x00, 0xE0}},
    {SampleKind::kInt24, 3, {0x00, 0x00, 0x40}, {0x00, 0x00, 0xE0}},
    {SampleKind::kInt32, 4, {0x00, 0x00, 0x00, 0x40}, {0x00, 0x00, 0x00, 0xE0}},
};

TEST(SampleFormat, EachLayoutDecodesLeftRightAndMono) {
  for (const Layout& layout : kLayouts) {
    SCOPED_TRACE(layout.sampleBytes);
    // Three channels, the third to be left out, and two padding bytes.
    const CaptureFormat wide{layout.kind, 3, 48000, 3 * layout.sampleBytes + 2};
    std::string error;
    ASSERT_TRUE(CheckCaptureFormat(wide, error)) << error;
    std::vector<uint8_t> bytes;
    for (int frame = 0; frame < 2; ++frame) {
      bytes.insert(bytes.end(), layout.half.begin(), layout.half.end());
      bytes.insert(bytes.end(), layout.minusQuarter.begin(), layout.minusQuarter.end());
      bytes.insert(bytes.end(), layout.half.begin(), layout.half.end());
      bytes.insert(bytes.end(), {0xFF, 0xFF});
    }
    std::vector<float> left, right;
    AppendFrames(bytes.data(), 2, wide, left, right);
    EXPECT_EQ(left, (std::vector<float>{0.5f, 0.5f}));
    EXPECT_EQ(right, (std::vector<float>{-0.25f, -0.25f}));

    const CaptureFormat mono{layout.kind, 1, 44100, layout.sampleBytes};
    left.clear();
    right.clear();
    AppendFrames(layout.minusQuarter.data(), 1, mono, left, right);
    EXPECT_EQ(left, (std::vector<float>{-0.25f}));
    EXPECT_EQ(right, left);
  }
}

TEST(SampleFormat, UnexpectedFormatsAreRefusedWithAReason) {
  const CaptureFormat refused[] = {
      {SampleKind::kUnknown, 2, 48000, 8},  {SampleKind::kFloat32, 0, 48000, 8},
      {SampleKind::kFloat32, 2, 4000, 8},   {SampleKind::kFloat32, 2, 768000, 8},
      {SampleKind::kInt24, 2, 48000, 5},
  };
  for (const CaptureFormat& format : refused) {
    std::string error;
    EXPECT_FALSE(CheckCaptureFormat(format, error));
    EXPECT_FALSE(error.empty());
  }
}

}  // namespace
}  // namespace soundfeed
