// The rendered guide holds every anchor the Help buttons open, and each
// module's section describes exactly the controls the module defines, with
// their ranges and defaults, so the guide cannot drift from the code.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "config/config_session.h"
#include "modules/module_catalog.h"
#include "resources/strings.h"

namespace lumox {
namespace {

std::string ReadGuide() {
  std::ifstream file(LUMOX_GUIDE_HTML, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

// The module pages' anchors, in module index order.
constexpr const char* kModuleAnchors[] = {
    "module-bezier", "module-cyclic", "module-pattern", "module-plasma",
    "module-polygon", "module-sphere", "module-stain",  "module-star",
    "module-vortex", "module-effect", "module-slide-show", "module-random"};

std::string Anchor(const std::string& id) { return "<a id=\"" + id + "\"></a>"; }

// The text from an anchor to the next one.
std::string Section(const std::string& guide, const std::string& id) {
  size_t start = guide.find(Anchor(id));
  if (start == std::string::npos) return "";
  size_t end = guide.find("<a id=", start + 1);
  return guide.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

// A number as the guide prints it, with a real minus sign.
std::string Number(int32_t value) {
  return value < 0 ? "\u2212" + std::to_string(-value) : std::to_string(value);
}

TEST(GuideTest, EveryPageAnchorAppearsOnce) {
  std::string guide = ReadGuide();
  ASSERT_FALSE(guide.empty()) << "no guide at " << LUMOX_GUIDE_HTML;
  std::vector<std::string> anchors = {"main-settings", "palette-settings", "display-settings",
                                      "custom-palette-settings", "sound-settings"};
  anchors.insert(anchors.end(), std::begin(kModuleAnchors), std::end(kModuleAnchors));
  for (const std::string& id : anchors) {
    size_t first = guide.find(Anchor(id));
    ASSERT_NE(first, std::string::npos) << id;
    EXPECT_EQ(guide.find(Anchor(id), first + 1), std::string::npos) << id << " twice";
  }
  // The stylesheet travels inside the file.
  EXPECT_NE(guide.find("<style>"), std::string::npos);
  // The sections both settings views open.
  const std::vector<std::string> pageSections = {kMainGuideSection, kPaletteGuideSection,
                                                 kDisplayGuideSection, kCustomPaletteGuideSection,
                                                 kSoundGuideSection};
  EXPECT_EQ(pageSections, std::vector<std::string>(anchors.begin(), anchors.begin() + 5));
  for (int module = 0; module < 12; ++module)
    EXPECT_EQ(ModuleGuideSection(module), kModuleAnchors[module]);
}

TEST(GuideTest, ModuleSectionsGiveEveryControlWithItsRangeAndDefault) {
  std::string guide = ReadGuide();
  for (int module = 0; module < 12; ++module) {
    std::string section = Section(guide, kModuleAnchors[module]);
    ASSERT_FALSE(section.empty()) << kModuleAnchors[module];
    for (const ControlRow& row : GetModuleDefinition(module).controls) {
      std::string label = LoadResourceString(row.labelId);
      std::string range = Number(row.minimum) + " \u2026 " + Number(row.maximum) + " (" +
                          Number(row.defaultValue) + ")";
      size_t at = section.find("<td>" + label);
      if (at == std::string::npos) at = section.find(", " + label);
      ASSERT_NE(at, std::string::npos) << kModuleAnchors[module] << ": " << label;
      size_t rowEnd = section.find("</tr>", at);
      EXPECT_NE(section.substr(at, rowEnd - at).find(range), std::string::npos)
          << kModuleAnchors[module] << ": " << label << " should read " << range;
    }
  }
}

}  // namespace
}  // namespace lumox
