#include "gl_palette_lookup.h"

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>

#include <string_view>

#include "gfx/present_tracker.h"
#include "gfx/screen.h"

namespace lumox::host {
namespace {

// The quad covers the drawable; v runs down the screen, so texture row 0 is
// the screen's top row.
constexpr char kVertexShader[] = R"(#version 120
attribute vec2 corner;
varying vec2 place;
void main() {
  place = vec2(corner.x * 0.5 + 0.5, 0.5 - corner.y * 0.5);
  gl_Position = vec4(corner, 0.0, 1.0);
})";

// Each pixel's index picks the centre of its palette texel.
constexpr char kFragmentShader[] = R"(#version 120
uniform sampler2D indices;
uniform sampler2D palette;
varying vec2 place;
void main() {
  float index = texture2D(indices, place).r * 255.0;
  gl_FragColor = texture2D(palette, vec2((index + 0.5) / 256.0, 0.5));
})";

GLuint CompileShader(GLenum kind, const char* source, std::string& error) {
  GLuint shader = glCreateShader(kind);
  glShaderSource(shader, 1, &source, nullptr);
  glCompileShader(shader);
  GLint compiled = GL_FALSE;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
  if (compiled) return shader;
  char log[512] = {};
  glGetShaderInfoLog(shader, sizeof log, nullptr, log);
  error = std::string("shader: ") + log;
  glDeleteShader(shader);
  return 0;
}

GLuint MakeTexture() {
  GLuint texture = 0;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  return texture;
}

}  // namespace

GlPaletteLookup::~GlPaletteLookup() {
  if (program_) glDeleteProgram(program_);
  const GLuint textures[] = {indices_, palette_};
  glDeleteTextures(2, textures);  // names of 0 are ignored
}

bool GlPaletteLookup::Build(std::string& error) {
  GLuint vertex = CompileShader(GL_VERTEX_SHADER, kVertexShader, error);
  GLuint fragment = vertex ? CompileShader(GL_FRAGMENT_SHADER, kFragmentShader, error) : 0;
  if (!fragment) {
    if (vertex) glDeleteShader(vertex);
    return false;
  }
  program_ = glCreateProgram();
  glAttachShader(program_, vertex);
  glAttachShader(program_, fragment);
  glBindAttribLocation(program_, 0, "corner");
  glLinkProgram(program_);
  glDeleteShader(vertex);
  glDeleteShader(fragment);
  GLint linked = GL_FALSE;
  glGetProgramiv(program_, GL_LINK_STATUS, &linked);
  if (!linked) {
    error = "the shader program does not link";
    return false;
  }
  glUseProgram(program_);
  glUniform1i(glGetUniformLocation(program_, "indices"), 0);
  glUniform1i(glGetUniformLocation(program_, "palette"), 1);
  glActiveTexture(GL_TEXTURE1);
  palette_ = MakeTexture();
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 256, 1, 0, GL_BGRA, GL_UNSIGNED_BYTE, nullptr);
  glActiveTexture(GL_TEXTURE0);
  indices_ = MakeTexture();
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glDisable(GL_BLEND);
  glDisable(GL_DEPTH_TEST);
  if (glGetError() != GL_NO_ERROR) {
    error = "cannot make the textures";
    return false;
  }
  return true;
}

bool GlPaletteLookup::Upload(gfx::Screen& screen, gfx::PresentTracker& tracker) {
  if (width_ != screen.width() || height_ != screen.height()) {
    width_ = screen.width();
    height_ = screen.height();
    glBindTexture(GL_TEXTURE_2D, indices_);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_LUMINANCE8, width_, height_, 0, GL_LUMINANCE,
                 GL_UNSIGNED_BYTE, nullptr);
    tracker.Invalidate();
  }
  const gfx::ScreenChanges changes = tracker.TakeChanges(screen);
  if (changes.area.Empty() && !changes.palette) return false;
  if (changes.palette) {
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, palette_);
    // 0x00RRGGBB words are the bytes blue, green, red, unused.
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 256, 1, GL_BGRA, GL_UNSIGNED_BYTE, tracker.palette());
    glActiveTexture(GL_TEXTURE0);
  }
  glBindTexture(GL_TEXTURE_2D, indices_);
  for (const gfx::Rect& rect : changes.area.Rects()) {
    screen.ReadPublished(rect, [&](const uint8_t* first, int pitch, const gfx::Rect& r) {
      glPixelStorei(GL_UNPACK_ROW_LENGTH, pitch);
      glTexSubImage2D(GL_TEXTURE_2D, 0, r.left, r.top, r.right - r.left, r.bottom - r.top,
                      GL_LUMINANCE, GL_UNSIGNED_BYTE, first);
    });
  }
  return true;
}

bool GlPaletteLookup::Draw(int drawableWidth, int drawableHeight) {
  glViewport(0, 0, drawableWidth, drawableHeight);
  static const float kCorners[] = {-1, -1, 1, -1, -1, 1, 1, 1};
  glEnableVertexAttribArray(0);
  glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 0, kCorners);
  glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
  return glGetError() == GL_NO_ERROR;
}

bool RendersInHardware(std::string& error) {
  const auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
  const std::string_view name(renderer ? renderer : "");
  bool software = name.empty();
  for (std::string_view rasteriser : {"llvmpipe", "softpipe", "swrast", "Software Rasterizer"})
    software = software || name.find(rasteriser) != std::string_view::npos;
  if (!software) return true;
  error = "OpenGL renders in software here (" + std::string(name.empty() ? "?" : name) + ")";
  return false;
}

}  // namespace lumox::host
