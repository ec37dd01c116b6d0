// The Windows importer against pictures the tests write: PNG encoded by the
// imaging component itself (every format takes the same decoder path),
// packed bitmaps through a test import filter registered for its own
// extension, and damaged files.
#include "platform/win32/win32_picture_import.h"

#include <gtest/gtest.h>

#include "win32_test_support.h"  // windows.h first
#include <wincodec.h>

#include <algorithm>
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
bool Encode(const std::string& path, int width, int height, const std::vector<uint32_t>& pixels) {
  IWICImagingFactory* factory = nullptr;
  IWICStream* stream = nullptr;
  IWICBitmapEncoder* encoder = nullptr;
  IWICBitmapFrameEncode* frame = nullptr;
  const std::wstring widePath(path.begin(), path.end());
  WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGRA;
  const bool ok =
      SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                 IID_IWICImagingFactory, reinterpret_cast<void**>(&factory))) &&
      SUCCEEDED(factory->CreateStream(&stream)) &&
      SUCCEEDED(stream->InitializeFromFilename(widePath.c_str(), GENERIC_WRITE)) &&
      SUCCEEDED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder)) &&
      SUCCEEDED(encoder->Initialize(stream, WICBitmapEncoderNoCache)) &&
      SUCCEEDED(encoder->CreateNewFrame(&frame, nullptr)) && SUCCEEDED(frame->Initialize(nullptr)) &&
      SUCCEEDED(frame->SetSize(width, height)) && SUCCEEDED(frame->SetPixelFormat(&format)) &&
      format == GUID_WICPixelFormat32bppBGRA &&
      SUCCEEDED(frame->WritePixels(height, width * 4, static_cast<UINT>(pixels.size() * 4),
                                   reinterpret_cast<BYTE*>(const_cast<uint32_t*>(pixels.data())))) &&
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

TEST_F(PictureImportTest, PngComesBackPixelForPixelAndDamagedMissingAndHugeFilesAreRefused) {
  const std::string png = File("letter.png");
  const std::vector<uint32_t> letter = LetterF(7, 5);
  ASSERT_TRUE(Encode(png, 7, 5, letter));
  ASSERT_TRUE(Import(png)) << error_;
  ASSERT_EQ(picture_.width * 10 + picture_.height, 75);
  EXPECT_EQ(picture_.bitsPerPixel, 32);
  EXPECT_EQ(picture_.redMask, 0xFF0000u);
  for (int i = 0; i < 35; ++i) EXPECT_EQ(Pixel(i % 7, i / 7), letter[i] & 0xFFFFFF) << i;

  const std::string bytes = testing::ReadFile(dir_.File("letter.png"));
  testing::WriteFile(dir_.File("cut.png"), bytes.substr(0, bytes.size() / 2));
  testing::WriteFile(dir_.File("text.png"), "this is not a picture");
  testing::WriteFile(dir_.File("empty.png"), "");
  ASSERT_TRUE(Encode(File("wide.png"), kMaxPictureSide + 1, 1,
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

TEST_F(FilterImportTest, FilterPictureThroughTheMetafileAndTheFilterList) {
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

  // The filters list the registered ones first, then the decoders'.
  const std::vector<ImportFilter> filters = importer_.Filters();
  ASSERT_FALSE(filters.empty());
  EXPECT_EQ(filters[0].extension, "tdib tdb");
  for (const char* extension : {"png", "jpg", "gif"}) {
    EXPECT_TRUE(std::any_of(filters.begin(), filters.end(), [&](const ImportFilter& f) {
      return FilterTakesExtension(f.extension, extension);
    })) << extension;
  }
}

}  // namespace
}  // namespace lumox
