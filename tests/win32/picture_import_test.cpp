// The Windows importer against pictures the tests write: PNG and JPEG
// encoded by the imaging component itself, packed bitmaps through a test
// import filter registered for its own extension, and damaged files.
#include "platform/win32/win32_picture_import.h"

#include <gtest/gtest.h>

#include "win32_test_support.h"  // windows.h first
#include <wincodec.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "platform/import_filters.h"
#include "platform/memory_registry.h"
#include "platform/temp_dir.h"

namespace lumox {
namespace {

constexpr uint32_t kRed = 0xFFFF0000, kBlue = 0xFF0000FF;

// An asymmetric "F" of red on blue, so flips and channel swaps show.
std::vector<uint32_t> LetterF(int width, int height) {
  std::vector<uint32_t> pixels(static_cast<size_t>(width) * height, kBlue);
  for (int y = 0; y < height; ++y) pixels[static_cast<size_t>(y) * width + 1] = kRed;
  for (int x = 1; x < width - 1; ++x) pixels[x] = kRed;
  for (int x = 1; x < width / 2 + 1; ++x) pixels[static_cast<size_t>(height / 2) * width + x] = kRed;
  return pixels;
}

// Encodes BGRA pixels with the imaging component's own encoder.
bool Encode(const std::string& path, const GUID& container, int width, int height,
            const std::vector<uint32_t>& pixels) {
  IWICImagingFactory* factory = nullptr;
  IWICStream* stream = nullptr;
  IWICBitmapEncoder* encoder = nullptr;
  IWICBitmapFrameEncode* frame = nullptr;
  const std::wstring widePath(path.begin(), path.end());
  WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGRA;
  bool ok = SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                       IID_IWICImagingFactory, reinterpret_cast<void**>(&factory))) &&
            SUCCEEDED(factory->CreateStream(&stream)) &&
            SUCCEEDED(stream->InitializeFromFilename(widePath.c_str(), GENERIC_WRITE)) &&
            SUCCEEDED(factory->CreateEncoder(container, nullptr, &encoder)) &&
            SUCCEEDED(encoder->Initialize(stream, WICBitmapEncoderNoCache)) &&
            SUCCEEDED(encoder->CreateNewFrame(&frame, nullptr)) &&
            SUCCEEDED(frame->Initialize(nullptr)) && SUCCEEDED(frame->SetSize(width, height)) &&
            SUCCEEDED(frame->SetPixelFormat(&format));
  // The encoder may ask for 24 bits (JPEG): hand it blue, green, red.
  std::vector<uint8_t> rows;
  UINT stride = width * 4;
  if (ok && format == GUID_WICPixelFormat24bppBGR) {
    stride = (width * 3 + 3) & ~3;
    rows.assign(static_cast<size_t>(stride) * height, 0);
    for (int i = 0; i < width * height; ++i) {
      std::memcpy(&rows[static_cast<size_t>(i / width) * stride + (i % width) * 3], &pixels[i], 3);
    }
  } else {
    rows.resize(pixels.size() * 4);
    std::memcpy(rows.data(), pixels.data(), rows.size());
  }
  ok = ok && SUCCEEDED(frame->WritePixels(height, stride, static_cast<UINT>(rows.size()), rows.data())) &&
       SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
  for (IUnknown* object : std::initializer_list<IUnknown*>{frame, encoder, stream, factory}) {
    if (object != nullptr) object->Release();
  }
  return ok;
}

class PictureImportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    InstallRegistry(&registry_);  // only the filters a test registers
  }
  void TearDown() override {
    InstallRegistry(nullptr);
    CoUninitialize();
  }
  std::string File(const std::string& name) const {
    return testing::WindowsPath(dir_.File(name));
  }
  bool Import(const std::string& path) {
    error_.clear();
    return importer_.Import(path, picture_, error_);
  }
  uint32_t Pixel(int x, int y) const {
    uint32_t p = 0;
    std::memcpy(&p, &picture_.pixels[picture_.Stride() * y + 4 * x], 4);
    return p & 0xFFFFFF;
  }

  testing::TempDir dir_;
  MemoryRegistry registry_;
  Win32PictureImporter importer_;
  DibPicture picture_;
  std::string error_;
};

TEST_F(PictureImportTest, PngComesBackPixelForPixel) {
  const std::string path = File("letter.png");
  ASSERT_TRUE(Encode(path, GUID_ContainerFormatPng, 7, 5, LetterF(7, 5)));
  ASSERT_TRUE(Import(path)) << error_;
  ASSERT_EQ(picture_.width, 7);
  ASSERT_EQ(picture_.height, 5);
  EXPECT_EQ(picture_.bitsPerPixel, 32);
  EXPECT_EQ(picture_.redMask, 0xFF0000u);
  const std::vector<uint32_t> expected = LetterF(7, 5);
  for (int y = 0; y < 5; ++y) {
    for (int x = 0; x < 7; ++x) EXPECT_EQ(Pixel(x, y), expected[y * 7 + x] & 0xFFFFFF) << x << "," << y;
  }
}

TEST_F(PictureImportTest, JpegKeepsItsColoursAndOrientation) {
  // 8 x 8 blocks, so each block's centre keeps its colour through the
  // compression: red top-left, blue elsewhere.
  std::vector<uint32_t> pixels(32 * 16, kBlue);
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x) pixels[y * 32 + x] = kRed;
  }
  const std::string path = File("blocks.JPG");
  ASSERT_TRUE(Encode(path, GUID_ContainerFormatJpeg, 32, 16, pixels));
  ASSERT_TRUE(Import(path)) << error_;
  ASSERT_EQ(picture_.width, 32);
  ASSERT_EQ(picture_.height, 16);
  auto similar = [](uint32_t a, uint32_t b) {
    for (int shift = 0; shift < 24; shift += 8) {
      if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > 40) return false;
    }
    return true;
  };
  EXPECT_TRUE(similar(Pixel(4, 4), 0xFF0000)) << std::hex << Pixel(4, 4);
  EXPECT_TRUE(similar(Pixel(20, 4), 0x0000FF)) << std::hex << Pixel(20, 4);
  EXPECT_TRUE(similar(Pixel(4, 12), 0x0000FF)) << std::hex << Pixel(4, 12);
}

TEST_F(PictureImportTest, DamagedMissingAndHugeFilesAreRefused) {
  const std::string png = File("good.png");
  ASSERT_TRUE(Encode(png, GUID_ContainerFormatPng, 16, 16, LetterF(16, 16)));
  const std::string bytes = testing::ReadFile(dir_.File("good.png"));
  testing::WriteFile(dir_.File("cut.png"), bytes.substr(0, bytes.size() / 2));
  testing::WriteFile(dir_.File("text.png"), "this is not a picture");
  testing::WriteFile(dir_.File("empty.png"), "");
  ASSERT_TRUE(Encode(File("wide.png"), GUID_ContainerFormatPng, kMaxPictureSide + 1, 1,
                     std::vector<uint32_t>(kMaxPictureSide + 1, kBlue)));
  for (const char* name : {"cut.png", "text.png", "empty.png", "missing.png", "wide.png"}) {
    EXPECT_FALSE(Import(File(name))) << name;
    EXPECT_FALSE(error_.empty()) << name;
  }
}

// The test filter's pictures: packed bitmaps in files of extension "tdib".
class FilterImportTest : public PictureImportTest {
 protected:
  void SetUp() override {
    PictureImportTest::SetUp();
    const std::string key = std::string(kImportFilterKey) + "\\Test Bitmaps";
    registry_.CreateKey(RegRoot::LocalMachine, key);
    const std::string library = testing::WindowsPath(LUMOX_TEST_FILTER_PATH);
    auto put = [&](const char* name, const std::string& text) {
      registry_.WriteValue(RegRoot::LocalMachine, key, name, kRegSz, text.c_str(), text.size() + 1);
    };
    put("Name", "Test Bitmaps");
    put("Extensions", "tdib tdb");
    put("Path", library);
  }
};

TEST_F(FilterImportTest, FilterPictureThroughTheMetafile) {
  // 3 x 2, 4 bits, bottom-up, colours black, green, white: the top row
  // reads 2 1 0, the bottom 1 1 2.
  std::vector<uint8_t> dib(40, 0);
  const uint32_t header[] = {40, 3, 2};
  std::memcpy(dib.data(), header, sizeof header);
  dib[12] = 1, dib[14] = 4, dib[32] = 3;
  for (uint32_t color : {0x000000u, 0x00FF00u, 0xFFFFFFu}) {
    dib.insert(dib.end(), reinterpret_cast<uint8_t*>(&color), reinterpret_cast<uint8_t*>(&color) + 4);
  }
  for (uint8_t b : {0x11, 0x20, 0, 0, 0x21, 0x00, 0, 0}) dib.push_back(b);
  const std::string folder = dir_.File("folder with long name");
  std::filesystem::create_directory(folder);
  std::ofstream(folder + "/picture.TDIB", std::ios::binary)
      .write(reinterpret_cast<const char*>(dib.data()), static_cast<std::streamsize>(dib.size()));

  const std::string picture = testing::WindowsPath(folder + "/picture.TDIB");
  ASSERT_TRUE(ImportWithFilter(testing::WindowsPath(LUMOX_TEST_FILTER_PATH), picture, picture_,
                               error_)) << error_;
  picture_ = {};
  ASSERT_TRUE(Import(picture)) << error_;
  EXPECT_EQ(picture_.bitsPerPixel, 4);
  EXPECT_EQ(picture_.colors, (std::vector<uint32_t>{0x000000, 0x00FF00, 0xFFFFFF}));
  EXPECT_EQ(picture_.pixels, (std::vector<uint8_t>{0x21, 0x00, 0, 0, 0x11, 0x20, 0, 0}));
  // The library is loaded for the call only.
  EXPECT_EQ(GetModuleHandleA(testing::WindowsPath(LUMOX_TEST_FILTER_PATH).c_str()), nullptr);

  // A damaged picture from the filter is refused (nothing else reads it).
  dib[14] = 5;
  std::ofstream(folder + "/bad.tdb", std::ios::binary)
      .write(reinterpret_cast<const char*>(dib.data()), static_cast<std::streamsize>(dib.size()));
  EXPECT_FALSE(Import(testing::WindowsPath(folder + "/bad.tdb")));
}

TEST_F(FilterImportTest, FiltersListTheRegisteredOnesThenTheDecoders) {
  const std::vector<ImportFilter> filters = importer_.Filters();
  ASSERT_FALSE(filters.empty());
  EXPECT_EQ(filters[0].extension, "tdib tdb");
  auto lists = [&](const char* extension) {
    for (const ImportFilter& f : filters) {
      if (FilterTakesExtension(f.extension, extension)) return true;
    }
    return false;
  };
  EXPECT_TRUE(lists("png"));
  EXPECT_TRUE(lists("jpg"));
  EXPECT_TRUE(lists("gif"));
}

}  // namespace
}  // namespace lumox
