// Golden frames: each module with a fixed seed, its default controls and a
// manual clock (16 ms per frame) on a small canvas. A mismatch writes the
// frame into the build directory and names it; look at it, and if the new
// picture is right, replace the hash with the one printed.
#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "module_harness.h"
#include "state/palette_state.h"

namespace lumox::testing {
namespace {

struct Golden {
  int module;
  std::map<int, uint64_t> frames;  // frame number -> FNV-1a of the surface
  int width = 64, height = 48;
};

void CheckGolden(const Golden& golden) {
  ModuleHarness h(golden.module, golden.width, golden.height, 20261206);
  h.Init();
  h.Start();
  int drawn = 0;
  for (const auto& [frame, expected] : golden.frames) {
    h.DrawFrames(frame - drawn);
    drawn = frame;
    h.ExpectHash(expected, std::string(kModuleNames[golden.module]) + "_" + std::to_string(frame));
  }
  h.Stop();
}

TEST(Golden, FramesOfEachDrawnModule) {
  CheckGolden({kBezier,
               {{10, 0x914157fb344bedaaull}, {100, 0x76f0b33ab73380f0ull}, {300, 0xef4f03a4c0335466ull}}});
  CheckGolden({kCyclic,
               {{10, 0x8e3da04243654325ull}, {100, 0xf2f615113ca85325ull}, {300, 0x3b1fc72e40d54325ull}}});
  CheckGolden({kPattern, {{3, 0x400095621820a8b6ull}, {10, 0x7d1a241928b7782dull}}});
  CheckGolden({kPolygon,
               {{10, 0x33ae84ec32d2ca3bull}, {100, 0x7275d283ef318aull}, {300, 0xd49941ccfe4dcb07ull}}});
  CheckGolden({kStar,
               {{10, 0xb6b7b7f8a6c63f25ull}, {100, 0xdab420e1cd858f08ull}, {300, 0x6958d7132f1e9dacull}}});
  CheckGolden({kSphere, {{1, 0x3678e7c58e98b6ebull}, {30, 0xa15b4960e9ec0dc1ull}}});
  CheckGolden({kVortex, {{1, 0xe588387347e0a51bull}, {5, 0x2e28b0fc2af552a1ull}, {300, 0x65411bd82973dacfull}}});
}

// Every Effect type once over the same picture (saver colours different
// from each pixel to the next, so that even the deepest fold's cell shows,
// and a black corner, whose inversion shows), with a palette of
// all-different colours for the read-back.
TEST(Golden, EveryEffectType) {
  const uint64_t expected[26] = {
      0x1f3ce6102aaf78b4ull, 0xd7685ffe12eff8f5ull, 0xaec5f1f3edccf1d0ull, 0x5a6a28fd5ce91c38ull,
      0x931c0f780f86a76dull, 0x42bfed72e28d7055ull, 0x4aed5fb705df74cbull, 0xe64c072e4fd74004ull,
      0xe5a2b65ff97bf42full, 0xeede084b6379ad5bull, 0x1765866bf41e1616ull, 0x1765866bf41e1616ull,
      0x8d7506df9c94efa0ull, 0xc4c8c976276f164cull, 0xa1ac64a34e4ba48eull, 0x1b402956088ef8ebull,
      0x9b7c75aa6bc49177ull, 0x1765866bf41e1616ull, 0x7d1118e6de8d2235ull, 0xeede084b6379ad5bull,
      0xa307cd096b032150ull, 0xb8b77ee8bdba232aull, 0x237fad7e3fc153d0ull, 0x2dd6728d389ee23eull,
      0x855d58dc4f977beull, 0xbec3c6fe37094422ull,
  };
  auto palette = std::make_unique<PaletteState>();
  for (int i = 0; i < kPaletteEntries; ++i)
    palette->entries[i].Set({static_cast<uint8_t>(i), static_cast<uint8_t>(3 * i), 200});
  for (int type = 0; type < 26; ++type) {
    ModuleHarness h(kEffect, 64, 48, 20261206);
    h.module().palette = palette.get();
    for (int y = 0; y < 48; ++y)
      for (int x = 0; x < 64; ++x)
        h.surface().row(y)[x] = x + y > 90 ? 0 : PhysicalOf((7 * x + 13 * y) % 236);
    h.Set(0, type);
    h.Set(1, 9);   // "X Strength"
    h.Set(2, 7);   // "Y Strength"
    h.Set(3, 0);   // "Display Interval": an effect at every Draw
    h.Run(1);
    h.ExpectHash(expected[type], "effect_" + std::to_string(type));
    h.Stop();
  }
  // Plasma: the finished, folded cloud, and the next one after the hold;
  // on a larger window the growing top-left square in four mirrored quarters.
  CheckGolden({kPlasma, {{12, 0x4a5e4e55c1073053ull}, {2000, 0xcfbf6ab701e664e6ull}}});
  CheckGolden({kPlasma, {{60, 0x88ba0c0a546bd75ull}, {400, 0x4379b536e28b66a3ull}}, 320, 240});
  CheckGolden({kStain, {{2, 0x14eccf2f86d142ddull}, {7, 0x6335aaa48f3926ull}}});
}

// Every Pattern formula's finished picture, with and without the warp, so
// that a changed term of any formula shows (the formulas are too involved to
// restate here; the pictures were looked at when the hashes were taken).
TEST(Golden, EveryPatternFormula) {
  const uint64_t expected[21][2] = {
      {0x647c68b768dbc95bull, 0xd8f39c659ab8f6f0ull}, {0x4a8a6a0509e0d621ull, 0x6b051ad9a873f673ull},
      {0x6f607325db807e4aull, 0x1b8a3c49c8205c04ull}, {0x9681eb954a03f398ull, 0x4a0215b4f8d0516bull},
      {0xf585a5cd44aa6cb3ull, 0x53a34b3d4ade2a31ull}, {0xa67faedf86f63c54ull, 0xd558d20a131b0c1full},
      {0x7b5f4ff566cf9099ull, 0x842de8de869c45b6ull}, {0x66f5c483ab75374full, 0xca87b09cf7baf17eull},
      {0x6d78f9a23595e637ull, 0xb8ff21c803c4f03bull}, {0x616e9177b707a44full, 0x96efaa21b3b89727ull},
      {0x897253a2f9ea2740ull, 0x818d8726a1dcbb16ull}, {0xba6945cbf1f9fc72ull, 0x91be528f7a07592dull},
      {0xc61069aafc445695ull, 0x4ce8b0dca0ffc177ull}, {0xaa5a2dd77d6f79e5ull, 0xaf3351af02a66b73ull},
      {0x62057b0d356d4ec9ull, 0xb167eaf4d35c5feull}, {0x7dc213ea70d9801cull, 0x7dc213ea70d9801cull},
      {0xa38c0013e69f2f73ull, 0x86908633a84301bcull}, {0xd77a7e340c98f40ull, 0x9266532dfce785d6ull},
      {0xa1405fda3d0d1dbull, 0x58f5cb28c9d28e05ull}, {0x79ae097dee84499full, 0x49d791eed3e5fa15ull},
      {0xa25524b35ea9da48ull, 0xf409b365f290ded9ull},
  };
  for (int formula = 0; formula < 21; ++formula) {
    for (int warped : {0, 1}) {
      ModuleHarness h(kPattern, 37, 23, 4242 + formula);
      h.Set(2, formula);
      h.Set(1, warped ? 40 : 0);  // "Turbulence"
      h.Set(4, (formula % 3) * 3 / 2 + 1);  // "Turbulence Type" 1, 2 or 4: warps by the profiles
      h.Set(6, formula % 6 + 1);  // "Wave type"
      h.Set(0, 3);                // "Waves"
      h.FinishPicture(20);
      h.ExpectHash(expected[formula][warped],
                   "pattern_" + std::to_string(formula) + (warped ? "_warped" : ""));
      h.Stop();
    }
  }
}

// Every Stain kind's finished picture on three nodes, exact and folded (the
// pictures were looked at when the hashes were taken; kind 9 on 2 x 2
// mirrored tiles).
TEST(Golden, EveryStainKind) {
  const uint64_t expected[10][2] = {
      {0x783472038bbf14e7ull, 0x94a1d256d28f90d5ull}, {0x4a76e0ab7f12e4d6ull, 0xbda1b0aca89ca049ull},
      {0x9620e478d598431eull, 0x126fb8d3edda1491ull}, {0x2dc4db2439d8c4c1ull, 0xec4226523d2576e9ull},
      {0xb1eadd990b8b6febull, 0xc385902ebdebf59eull}, {0x3e50c6c025d87518ull, 0xe530e14323adb7deull},
      {0x759c6bf04f2110afull, 0x52638e509cfaf37cull}, {0x51af253122e5696full, 0x15725c60311819efull},
      {0x65046fe85a3df6f3ull, 0x894c359f23767538ull}, {0x4960b46993e9629dull, 0x116f37725f40a385ull},
  };
  for (int kind = 0; kind < 10; ++kind) {
    for (int folded : {0, 1}) {
      ModuleHarness h(kStain, 240, 160, 900 + kind);
      h.Set(2, kind);
      h.Set(0, 3);                // "Nodes"
      h.Set(1, folded ? 3 : 0);   // "Folding"
      if (kind == 9) {
        h.Set(10, 2);             // "X Tiling"
        h.Set(11, 2);             // "Y Tiling"
      }
      h.FinishPicture(200);
      h.ExpectHash(expected[kind][folded],
                   "stain_" + std::to_string(kind) + (folded ? "_folded" : ""));
      h.Stop();
    }
  }
}

}  // namespace
}  // namespace lumox::testing
