#include "publisher.h"

#include "platform/registry_store.h"

namespace soundfeed {

namespace off = lumox::share_offset;

float KeyLevelGain(const lumox::SoundShare& share) {
  const uint32_t keyLevel = share.U32(off::KeyLevel);
  if (keyLevel == 0 || keyLevel > 20) return 1.0f;
  return static_cast<float>(keyLevel) / 10.0f;
}

void ScaleLevels(StereoLevels& levels, float factor) {
  levels.left *= factor;
  levels.right *= factor;
  for (int band = 0; band < kBands; ++band) {
    levels.leftBands[band] *= factor;
    levels.rightBands[band] *= factor;
  }
}

void AnnouncePlayer(lumox::SoundShare& share) {
  share.SetU16(off::PlayerVersionMajor, kPlayerVersionMajor);
  share.SetU16(off::PlayerVersionMinor, kPlayerVersionMinor);
  share.SetF32(off::LevelFullScale, kFullScale);
  share.SetU32(off::LevelDivisor, static_cast<uint32_t>(kFullScale));
  share.SetF32(off::BandFullScale, kFullScale);
  share.SetU32(off::PlayerActive, 1);

  const uint32_t version = (uint32_t{kPlayerVersionMajor} << 16) | kPlayerVersionMinor;
  const uint8_t bytes[4] = {static_cast<uint8_t>(version), static_cast<uint8_t>(version >> 8),
                            static_cast<uint8_t>(version >> 16),
                            static_cast<uint8_t>(version >> 24)};
  lumox::RegistryStore& registry = lumox::Registry();
  registry.CreateKey(lumox::RegRoot::CurrentUser, "Software\\Auralis");
  registry.WriteValue(lumox::RegRoot::CurrentUser, "Software\\Auralis", "Current Version",
                      lumox::kRegDword, bytes, sizeof bytes);
}

void PublishLevels(lumox::SoundShare& share, const StereoLevels& levels) {
  share.SetF32(off::LeftLevel, levels.left * kFullScale);
  share.SetF32(off::RightLevel, levels.right * kFullScale);
  for (int band = 0; band < kBands; ++band) {
    share.SetLeftBand(band, levels.leftBands[band] * kFullScale);
    share.SetRightBand(band, levels.rightBands[band] * kFullScale);
  }
}

void PublishInfo(lumox::SoundShare& share, const TrackInfo& info) {
  share.SetText(off::InfoText2, lumox::kInfoTextSize, info.title);
  share.SetText(off::InfoText1, lumox::kInfoTextSize, info.artist);
  share.SetText(off::InfoText3, lumox::kInfoTextSize, info.time);
  share.SetU32(off::InfoSerial, share.U32(off::InfoSerial) + 1);
}

void RetirePlayer(lumox::SoundShare& share) { share.SetU32(off::PlayerActive, 0); }

}  // namespace soundfeed
