// The Windows loopback, as far as the system here offers one: under Wine
// without a sound driver there is no render device, and the test says so
// as skipped, never as passed.
#include <chrono>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "capture_device.h"

namespace soundfeed {
namespace {

TEST(WasapiCapture, TheDefaultOutputsLoopbackReadsOrSaysWhy) {
  std::string error;
  std::unique_ptr<CaptureDevice> device = OpenCaptureDevice("", error);
  if (device == nullptr) {
    EXPECT_FALSE(error.empty());
    GTEST_SKIP() << "no loopback capture here: " << error;
  }
  EXPECT_GE(device->sampleRate(), 8000);
  // Half a second of reads: none fails, and no more sound arrives than
  // that time holds (a loopback with nothing playing delivers none).
  std::vector<float> left, right;
  const auto start = std::chrono::steady_clock::now();
  while (std::chrono::steady_clock::now() - start < std::chrono::milliseconds(500))
    ASSERT_TRUE(device->Read(left, right, error)) << error;
  EXPECT_EQ(left.size(), right.size());
  EXPECT_LE(left.size(), static_cast<size_t>(device->sampleRate()));
}

}  // namespace
}  // namespace soundfeed
