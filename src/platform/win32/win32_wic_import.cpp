// Pictures through the Windows Imaging Component: every format it has a
// decoder for (PNG, JPEG, GIF, TIFF, ICO, and whatever codecs the machine
// added), frame 0 converted to 32 bits per pixel.
//
// COM is set up for the calling thread for the length of the call (the
// slide show's loader thread has no apartment of its own); a thread that is
// already in a single-threaded apartment is used as it is.
#include "platform/win32/win32_picture_import.h"

#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <wincodec.h>

#include <algorithm>
#include <new>

#include "platform/name_order.h"

namespace lumox {
namespace {

// An interface pointer that releases itself.
template <typename T>
class ComRef {
 public:
  ComRef() = default;
  ~ComRef() {
    if (p_ != nullptr) p_->Release();
  }
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  T** Out() { return &p_; }
  void** OutVoid() { return reinterpret_cast<void**>(&p_); }
  T* operator->() const { return p_; }
  T* get() const { return p_; }

 private:
  T* p_ = nullptr;
};

class ComApartment {
 public:
  ComApartment() : result_(CoInitializeEx(nullptr, COINIT_MULTITHREADED)) {}
  ~ComApartment() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  // Usable when set up here or already set up in either kind.
  bool ready() const { return SUCCEEDED(result_) || result_ == RPC_E_CHANGED_MODE; }

 private:
  HRESULT result_;
};

bool CreateFactory(ComRef<IWICImagingFactory>& factory) {
  return SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_IWICImagingFactory, factory.OutVoid()));
}

std::wstring WidePath(const std::string& path) {
  const int length = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
  if (length <= 0) return {};
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), length);
  wide.resize(static_cast<size_t>(length) - 1);
  return wide;
}

std::string NarrowText(const std::wstring& text) {
  const int length =
      WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return {};
  std::string narrow(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, narrow.data(), length, nullptr, nullptr);
  narrow.resize(static_cast<size_t>(length) - 1);
  return narrow;
}

bool Fail(std::string& error, const char* message) {
  error = message;
  return false;
}

const char* OpenFailure(HRESULT result) {
  if (result == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) ||
      result == HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND) ||
      result == HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED) ||
      result == HRESULT_FROM_WIN32(ERROR_SHARING_VIOLATION)) {
    return "The picture file cannot be opened.";
  }
  if (result == WINCODEC_ERR_COMPONENTNOTFOUND) return "No importer reads this kind of file.";
  return "The picture is damaged or cannot be read.";
}

// A decoder's text property, read with the usual two calls (size, text).
template <typename Getter>
std::wstring ReadText(Getter getter) {
  UINT length = 0;
  if (FAILED(getter(0, nullptr, &length)) || length == 0) return {};
  std::wstring text(length, L'\0');
  if (FAILED(getter(length, text.data(), &length))) return {};
  text.resize(wcsnlen(text.c_str(), text.size()));
  return text;
}

}  // namespace

bool ImportWithImagingComponent(const std::string& path, DibPicture& picture, std::string& error) {
  ComApartment apartment;
  ComRef<IWICImagingFactory> factory;
  if (!apartment.ready() || !CreateFactory(factory)) {
    return Fail(error, "The Windows Imaging Component is not available.");
  }
  const std::wstring widePath = WidePath(path);
  ComRef<IWICBitmapDecoder> decoder;
  const HRESULT opened = factory->CreateDecoderFromFilename(
      widePath.c_str(), nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand, decoder.Out());
  if (FAILED(opened)) return Fail(error, OpenFailure(opened));
  ComRef<IWICBitmapFrameDecode> frame;
  UINT width = 0, height = 0;
  if (FAILED(decoder->GetFrame(0, frame.Out())) || FAILED(frame->GetSize(&width, &height))) {
    return Fail(error, "The picture is damaged or cannot be read.");
  }
  if (width == 0 || height == 0) return Fail(error, "The picture is empty.");
  if (width > kMaxPictureSide || height > kMaxPictureSide) {
    return Fail(error, "The picture is larger than 16384 pixels on a side.");
  }
  ComRef<IWICBitmapSource> converted;
  if (FAILED(WICConvertBitmapSource(GUID_WICPixelFormat32bppBGRA, frame.get(),
                                    converted.Out()))) {
    return Fail(error, "The picture's colours cannot be converted.");
  }
  picture.width = static_cast<int32_t>(width);
  picture.height = static_cast<int32_t>(height);
  picture.bitsPerPixel = 32;
  picture.colors.clear();
  picture.redMask = 0xFF0000;
  picture.greenMask = 0x00FF00;
  picture.blueMask = 0x0000FF;
  const size_t stride = picture.Stride();
  try {
    picture.pixels.assign(stride * height, 0);
  } catch (const std::bad_alloc&) {
    return Fail(error, "There is not enough memory for the picture.");
  }
  if (FAILED(converted->CopyPixels(nullptr, static_cast<UINT>(stride),
                                   static_cast<UINT>(picture.pixels.size()),
                                   picture.pixels.data()))) {
    picture.pixels.clear();
    return Fail(error, "The picture is damaged or cannot be read.");
  }
  return true;
}

std::vector<ImportFilter> ImagingComponentFilters() {
  std::vector<ImportFilter> filters;
  ComApartment apartment;
  ComRef<IWICImagingFactory> factory;
  ComRef<IEnumUnknown> components;
  if (!apartment.ready() || !CreateFactory(factory) ||
      FAILED(factory->CreateComponentEnumerator(WICDecoder, WICComponentEnumerateDefault,
                                                components.Out()))) {
    return filters;
  }
  for (;;) {
    ComRef<IUnknown> component;
    ULONG fetched = 0;
    if (components->Next(1, component.Out(), &fetched) != S_OK || fetched == 0) break;
    ComRef<IWICBitmapDecoderInfo> info;
    if (FAILED(component->QueryInterface(IID_IWICBitmapDecoderInfo, info.OutVoid()))) continue;
    const std::string name = NarrowText(ReadText([&](UINT size, WCHAR* text, UINT* length) {
      return info->GetFriendlyName(size, text, length);
    }));
    // Extensions come as ".png,.jpg": one entry each, without the dot.
    const std::string extensions = NarrowText(ReadText([&](UINT size, WCHAR* text, UINT* length) {
      return info->GetFileExtensions(size, text, length);
    }));
    size_t start = 0;
    while (start < extensions.size()) {
      size_t end = extensions.find(',', start);
      if (end == std::string::npos) end = extensions.size();
      std::string extension = extensions.substr(start, end - start);
      if (!extension.empty() && extension.front() == '.') extension.erase(0, 1);
      if (!extension.empty()) filters.push_back({name, extension, {}});
      start = end + 1;
    }
  }
  std::sort(filters.begin(), filters.end(), [](const ImportFilter& a, const ImportFilter& b) {
    return CompareNames(a.extension, b.extension) < 0;
  });
  filters.erase(std::unique(filters.begin(), filters.end(),
                            [](const ImportFilter& a, const ImportFilter& b) {
                              return NamesEqual(a.extension, b.extension);
                            }),
                filters.end());
  return filters;
}

}  // namespace lumox
