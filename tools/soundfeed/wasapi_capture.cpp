// Capture on Windows: the loopback of a render device (the default one, or
// one named by --source) through WASAPI in shared mode, polled every 10 ms.
// A loopback delivers nothing while nothing plays; the live feed shows that
// as silence. The device going away (unplugged, disabled, the audio service
// restarting) fails the next read, and the capture thread reopens.
#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <audioclient.h>
#include <mmdeviceapi.h>
#include <propsys.h>

#include <cstdio>

#include "capture_device.h"
#include "sample_format.h"

namespace soundfeed {
namespace {

constexpr REFERENCE_TIME kBufferDuration = 2000000;  // 200 ms, in 100 ns units
constexpr DWORD kPollMilliseconds = 10;
// {a45c254e-df1c-4efd-8020-67d146a850e0}, 14: the endpoint's friendly name.
constexpr PROPERTYKEY kFriendlyName = {
    {0xa45c254e, 0xdf1c, 0x4efd, {0x80, 0x20, 0x67, 0xd1, 0x46, 0xa8, 0x50, 0xe0}}, 14};
// KSDATAFORMAT_SUBTYPE_PCM and _IEEE_FLOAT: only their first word differs.
constexpr GUID kSubtypePcm = {0x00000001, 0x0000, 0x0010,
                              {0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
constexpr GUID kSubtypeFloat = {0x00000003, 0x0000, 0x0010,
                                {0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

template <class T>
void Release(T*& pointer) {
  if (pointer != nullptr) pointer->Release();
  pointer = nullptr;
}

std::string Utf8(const wchar_t* text) {
  if (text == nullptr) return "";
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1) return "";
  std::string result(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, result.data(), size, nullptr, nullptr);
  result.resize(static_cast<size_t>(size - 1));
  return result;
}

std::string HresultText(HRESULT result) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lx", static_cast<unsigned long>(result));
  return text;
}

// COM for the calling thread, for as long as the object lives.
class ComScope {
 public:
  ComScope() : ok_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) {}
  ~ComScope() {
    if (ok_) CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;

 private:
  bool ok_;
};

CaptureFormat DescribeFormat(const WAVEFORMATEX& wave) {
  CaptureFormat format;
  format.channels = wave.nChannels;
  format.sampleRate = static_cast<int>(wave.nSamplesPerSec);
  format.bytesPerFrame = wave.nBlockAlign;
  bool isFloat = wave.wFormatTag == WAVE_FORMAT_IEEE_FLOAT;
  bool isPcm = wave.wFormatTag == WAVE_FORMAT_PCM;
  if (wave.wFormatTag == WAVE_FORMAT_EXTENSIBLE && wave.cbSize >= 22) {
    const auto& extensible = reinterpret_cast<const WAVEFORMATEXTENSIBLE&>(wave);
    isFloat = IsEqualGUID(extensible.SubFormat, kSubtypeFloat);
    isPcm = IsEqualGUID(extensible.SubFormat, kSubtypePcm);
  }
  if (isFloat && wave.wBitsPerSample == 32) format.kind = SampleKind::kFloat32;
  if (isPcm && wave.wBitsPerSample == 16) format.kind = SampleKind::kInt16;
  if (isPcm && wave.wBitsPerSample == 24) format.kind = SampleKind::kInt24;
  if (isPcm && wave.wBitsPerSample == 32) format.kind = SampleKind::kInt32;
  return format;
}

std::string FriendlyName(IMMDevice* device) {
  IPropertyStore* properties = nullptr;
  std::string name;
  if (SUCCEEDED(device->OpenPropertyStore(STGM_READ, &properties))) {
    PROPVARIANT value;
    PropVariantInit(&value);
    if (SUCCEEDED(properties->GetValue(kFriendlyName, &value)) && value.vt == VT_LPWSTR)
      name = Utf8(value.pwszVal);
    PropVariantClear(&value);
    Release(properties);
  }
  return name;
}

std::string DeviceId(IMMDevice* device) {
  LPWSTR id = nullptr;
  std::string text;
  if (SUCCEEDED(device->GetId(&id))) text = Utf8(id);
  CoTaskMemFree(id);
  return text;
}

IMMDeviceEnumerator* MakeEnumerator(std::string& error) {
  IMMDeviceEnumerator* enumerator = nullptr;
  const HRESULT result = CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL,
                                          __uuidof(IMMDeviceEnumerator),
                                          reinterpret_cast<void**>(&enumerator));
  if (FAILED(result)) error = "no audio device service (" + HresultText(result) + ")";
  return enumerator;
}

// The render device named by its friendly name or id, or the default one.
IMMDevice* FindRenderDevice(IMMDeviceEnumerator* enumerator, const std::string& wanted,
                            std::string& error) {
  IMMDevice* device = nullptr;
  if (wanted.empty()) {
    const HRESULT result = enumerator->GetDefaultAudioEndpoint(eRender, eConsole, &device);
    if (FAILED(result)) error = "no default output device (" + HresultText(result) + ")";
    return device;
  }
  IMMDeviceCollection* devices = nullptr;
  UINT count = 0;
  if (SUCCEEDED(enumerator->EnumAudioEndpoints(eRender, DEVICE_STATE_ACTIVE, &devices)))
    devices->GetCount(&count);
  for (UINT i = 0; i < count && device == nullptr; ++i) {
    IMMDevice* candidate = nullptr;
    if (FAILED(devices->Item(i, &candidate))) continue;
    if (FriendlyName(candidate) == wanted || DeviceId(candidate) == wanted)
      device = candidate;
    else
      Release(candidate);
  }
  Release(devices);
  if (device == nullptr) error = "no output device \"" + wanted + "\"";
  return device;
}

class WasapiDevice final : public CaptureDevice {
 public:
  WasapiDevice(std::unique_ptr<ComScope> com, IAudioClient* client, IAudioCaptureClient* capture,
               const CaptureFormat& format)
      : com_(std::move(com)), client_(client), capture_(capture), format_(format) {}
  ~WasapiDevice() override {
    client_->Stop();
    Release(capture_);
    Release(client_);
  }
  int sampleRate() const override { return format_.sampleRate; }

  bool Read(std::vector<float>& left, std::vector<float>& right, std::string& error) override {
    Sleep(kPollMilliseconds);
    for (;;) {
      UINT32 packet = 0;
      HRESULT result = capture_->GetNextPacketSize(&packet);
      if (SUCCEEDED(result) && packet == 0) return true;
      BYTE* data = nullptr;
      UINT32 frames = 0;
      DWORD flags = 0;
      if (SUCCEEDED(result)) result = capture_->GetBuffer(&data, &frames, &flags, nullptr, nullptr);
      if (FAILED(result)) {
        error = result == AUDCLNT_E_DEVICE_INVALIDATED
                    ? std::string("the output device went away")
                    : "lost the output device (" + HresultText(result) + ")";
        return false;
      }
      if ((flags & AUDCLNT_BUFFERFLAGS_SILENT) != 0) {
        left.insert(left.end(), frames, 0.0f);
        right.insert(right.end(), frames, 0.0f);
      } else {
        AppendFrames(data, static_cast<int>(frames), format_, left, right);
      }
      capture_->ReleaseBuffer(frames);
    }
  }

  // The loopback says nothing about what plays.
  TrackInfo NowPlaying() override { return {}; }

 private:
  std::unique_ptr<ComScope> com_;
  IAudioClient* client_;
  IAudioCaptureClient* capture_;
  CaptureFormat format_;
};

}  // namespace

std::unique_ptr<CaptureDevice> OpenCaptureDevice(const std::string& source, std::string& error) {
  auto com = std::make_unique<ComScope>();
  IMMDeviceEnumerator* enumerator = MakeEnumerator(error);
  if (enumerator == nullptr) return nullptr;
  IMMDevice* device = FindRenderDevice(enumerator, source, error);
  Release(enumerator);
  if (device == nullptr) return nullptr;

  IAudioClient* client = nullptr;
  IAudioCaptureClient* capture = nullptr;
  WAVEFORMATEX* wave = nullptr;
  HRESULT result = device->Activate(__uuidof(IAudioClient), CLSCTX_ALL, nullptr,
                                    reinterpret_cast<void**>(&client));
  Release(device);
  if (SUCCEEDED(result)) result = client->GetMixFormat(&wave);
  CaptureFormat format;
  if (SUCCEEDED(result)) {
    format = DescribeFormat(*wave);
    if (!CheckCaptureFormat(format, error)) {
      CoTaskMemFree(wave);
      Release(client);
      return nullptr;
    }
    result = client->Initialize(AUDCLNT_SHAREMODE_SHARED, AUDCLNT_STREAMFLAGS_LOOPBACK,
                                kBufferDuration, 0, wave, nullptr);
    CoTaskMemFree(wave);
  }
  if (SUCCEEDED(result))
    result = client->GetService(__uuidof(IAudioCaptureClient), reinterpret_cast<void**>(&capture));
  if (SUCCEEDED(result)) result = client->Start();
  if (result == AUDCLNT_E_WRONG_ENDPOINT_TYPE) {
    // Wine's audio, for one, offers no loopback.
    error = "this system cannot record what an output plays (no loopback)";
  } else if (FAILED(result)) {
    error = "cannot record what the output plays (" + HresultText(result) + ")";
  }
  if (FAILED(result)) {
    Release(capture);
    Release(client);
    return nullptr;
  }
  return std::make_unique<WasapiDevice>(std::move(com), client, capture, format);
}

bool ListCaptureSources(std::vector<CaptureSourceEntry>& sources, std::string& error) {
  ComScope com;
  IMMDeviceEnumerator* enumerator = MakeEnumerator(error);
  if (enumerator == nullptr) return false;
  IMMDeviceCollection* devices = nullptr;
  UINT count = 0;
  if (SUCCEEDED(enumerator->EnumAudioEndpoints(eRender, DEVICE_STATE_ACTIVE, &devices)))
    devices->GetCount(&count);
  for (UINT i = 0; i < count; ++i) {
    IMMDevice* device = nullptr;
    if (FAILED(devices->Item(i, &device))) continue;
    sources.push_back({FriendlyName(device), DeviceId(device), 0, true});
    Release(device);
  }
  Release(devices);
  Release(enumerator);
  return true;
}

bool CaptureServerReachable() {
  ComScope com;
  std::string error;
  IMMDeviceEnumerator* enumerator = MakeEnumerator(error);
  if (enumerator == nullptr) return false;
  IMMDevice* device = FindRenderDevice(enumerator, "", error);
  const bool found = device != nullptr;
  Release(device);
  Release(enumerator);
  return found;
}

}  // namespace soundfeed
