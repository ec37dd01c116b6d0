// Load time of a 4000 x 3000 picture: a 24-bit BMP through our decoder and
// a JPEG through the platform's importer, each turned into the grey working
// image as the slide show does. The pictures are written at start-up.
#include <SDL.h>
#include <SDL_image.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "image/image_files.h"
#include "image/indexed_image.h"

namespace lumox {
namespace {

constexpr int kWidth = 4000, kHeight = 3000;

// A smooth gradient with a little texture: something like a photograph for
// the JPEG coder, and a full 24-bit BMP.
uint8_t Channel(int x, int y, int c) { return static_cast<uint8_t>((x * (c + 1) + y * (3 - c) + (x ^ y) % 7) >> 4); }

std::string Dir() { return (std::filesystem::temp_directory_path() / "lumox-image-bench").string(); }

void Put32(std::ofstream& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.put(static_cast<char>(v >> (8 * i)));
}

void WritePictures() {
  std::filesystem::create_directories(Dir());
  const uint32_t stride = (kWidth * 3 + 3) & ~3u;
  std::ofstream bmp(Dir() + "/big.bmp", std::ios::binary);
  bmp.write("BM", 2);
  Put32(bmp, 54 + stride * kHeight), Put32(bmp, 0), Put32(bmp, 54);
  Put32(bmp, 40), Put32(bmp, kWidth), Put32(bmp, kHeight), Put32(bmp, 1 | 24 << 16);
  for (int i = 0; i < 6; ++i) Put32(bmp, 0);
  std::vector<char> row(stride, 0);
  for (int y = kHeight - 1; y >= 0; --y) {
    for (int x = 0; x < kWidth; ++x) {
      for (int c = 0; c < 3; ++c) row[3 * x + c] = static_cast<char>(Channel(x, y, 2 - c));
    }
    bmp.write(row.data(), stride);
  }
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, kWidth, kHeight, 24, SDL_PIXELFORMAT_RGB24);
  for (int y = 0; y < kHeight; ++y) {
    auto* p = static_cast<uint8_t*>(s->pixels) + y * s->pitch;
    for (int x = 0; x < kWidth * 3; ++x) p[x] = Channel(x / 3, y, x % 3);
  }
  IMG_SaveJPG(s, (Dir() + "/big.jpg").c_str(), 90);
  SDL_FreeSurface(s);
}

void Load(benchmark::State& state, const char* name) {
  const std::string path = Dir() + "/" + name;
  for (auto _ : state) {
    DibPicture picture;
    IndexedImage image;
    std::string error;
    if (!LoadPicture(path, picture, error) || !MakeWorkingImage(picture, false, image)) {
      state.SkipWithError(error.c_str());
      break;
    }
    benchmark::DoNotOptimize(image.pixels.data());
  }
}

void BM_LoadBmp4000x3000(benchmark::State& s) { Load(s, "big.bmp"); }
void BM_LoadJpeg4000x3000(benchmark::State& s) { Load(s, "big.jpg"); }
BENCHMARK(BM_LoadBmp4000x3000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadJpeg4000x3000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lumox

int main(int argc, char** argv) {
  lumox::WritePictures();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  std::filesystem::remove_all(lumox::Dir());
  return 0;
}
