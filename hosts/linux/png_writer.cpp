#include "png_writer.h"

#include <png.h>

#include <cstdio>
#include <vector>

namespace lumox::host {
namespace {

// libpng reports errors by longjmp; the handler keeps the message.
void OnPngError(png_structp png, png_const_charp message) {
  auto* error = static_cast<std::string*>(png_get_error_ptr(png));
  if (error) *error = message;
  png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

// Everything libpng touches between setjmp and longjmp lives here, outside
// the frame that calls setjmp, so no local is left indeterminate.
struct PngJob {
  FILE* file = nullptr;
  png_structp png = nullptr;
  png_infop info = nullptr;
  std::vector<uint8_t> row;
};

bool Encode(PngJob& job, const uint32_t* pixels, int width, int height, int pitchBytes) {
  if (setjmp(png_jmpbuf(job.png))) return false;
  png_init_io(job.png, job.file);
  // Frames are written by the hundred: fast compression, still lossless.
  png_set_compression_level(job.png, 1);
  png_set_IHDR(job.png, job.info, static_cast<png_uint_32>(width),
               static_cast<png_uint_32>(height), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(job.png, job.info);
  job.row.resize(static_cast<size_t>(width) * 3);
  const auto* bytes = reinterpret_cast<const uint8_t*>(pixels);
  for (int y = 0; y < height; ++y) {
    const auto* source = reinterpret_cast<const uint32_t*>(bytes + static_cast<size_t>(y) * pitchBytes);
    for (int x = 0; x < width; ++x) {
      uint32_t p = source[x];
      job.row[x * 3 + 0] = static_cast<uint8_t>(p >> 16);
      job.row[x * 3 + 1] = static_cast<uint8_t>(p >> 8);
      job.row[x * 3 + 2] = static_cast<uint8_t>(p);
    }
    png_write_row(job.png, job.row.data());
  }
  png_write_end(job.png, nullptr);
  return true;
}

}  // namespace

bool WritePng(const std::string& path, const uint32_t* pixels, int width, int height,
              int pitchBytes, std::string& error) {
  if (width <= 0 || height <= 0 || pitchBytes < width * 4) {
    error = "bad image size";
    return false;
  }
  std::string temporary = path + ".part";
  PngJob job;
  job.file = std::fopen(temporary.c_str(), "wb");
  if (!job.file) {
    error = "cannot create " + temporary;
    return false;
  }
  job.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &error, OnPngError, OnPngWarning);
  if (job.png) job.info = png_create_info_struct(job.png);
  bool ok = job.png && job.info && Encode(job, pixels, width, height, pitchBytes);
  if (!job.png || !job.info) error = "out of memory";
  png_destroy_write_struct(job.png ? &job.png : nullptr, job.info ? &job.info : nullptr);
  if (std::fclose(job.file) != 0 && ok) {
    ok = false;
    error = "cannot write " + temporary;
  }
  if (ok && std::rename(temporary.c_str(), path.c_str()) != 0) {
    ok = false;
    error = "cannot rename " + temporary + " to " + path;
  }
  if (!ok) std::remove(temporary.c_str());
  return ok;
}

}  // namespace lumox::host
