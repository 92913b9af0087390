// The battle screen's other pictures in the generated kit, read as the
// battle reads them: phased sprites cut into whole cells, masks of the same
// size as their pictures (the blended copy ignores a mask of another size
// and the puff would vanish).
#include <gtest/gtest.h>

#include <cstdlib>
#include <iterator>
#include <string>
#include <vector>

#include "Animate/AnimView.h"
#include "Animate/BattlePictureNames.h"
#include "Animate/DIB.h"
#include "Animate/RLESprite.h"
#include "Units/UnitSets.h"
#include "core/WorldNames.h"

namespace {

std::string Pictures() {
    const char* kit = std::getenv("VELMOR_KIT");
    return std::string(kit ? kit : "") + "\\Pictures\\";
}

TEST(BattlePicturesKit, SpritesCutIntoWholeCells) {
    std::vector<BattlePictureName> all(std::begin(kBattleMarkerPictures), std::end(kBattleMarkerPictures));
    all.insert(all.end(), std::begin(kBattleSpritePictures), std::end(kBattleSpritePictures));
    for (const BattlePictureName& p : all) {
        SCOPED_TRACE(p.name);
        CDIB dib;
        ASSERT_TRUE(dib.Load((Pictures() + p.name + ".giz").c_str()));
        EXPECT_EQ(dib.PictureWidth() % p.columns, 0);
        EXPECT_EQ(dib.PictureHeight() % p.rows, 0);
    }
    // The division markers are run-length sprites: 8 bits or nothing.
    CAnimView view;
    for (const BattlePictureName& p : kBattleMarkerPictures) {
        auto* s = dynamic_cast<RLESprite*>(view.LoadRLESprite((Pictures() + p.name + ".giz").c_str(), 220, 1, 1));
        ASSERT_NE(s, nullptr) << p.name;
        EXPECT_TRUE(s->HasFrames()) << p.name;
    }
}

TEST(BattlePicturesKit, EffectMasksFitTheirPictures) {
    CAnimView view;
    int id = 430;
    for (const char* name : kBattleEffectPictures) {
        SCOPED_TRACE(name);
        CSprite* s = view.LoadSpriteSet((Pictures() + name + ".giz").c_str(), TRUE, id++, 1, 1, 0);
        ASSERT_NE(s, nullptr);
        ASSERT_NE(s->GetAlphaMask(), nullptr);
        EXPECT_EQ(s->GetAlphaMask()->PictureWidth(), s->PictureWidth());
        EXPECT_EQ(s->GetAlphaMask()->PictureHeight(), s->PictureHeight());
        EXPECT_EQ(s->GetAlphaMask()->GetBitCount(), 8);
    }
}


// The field flags come from one generator only and wave through as many
// frames as the terrain database gives them: the battle cuts each into one
// row of that many cells.
TEST(BattlePicturesKit, FieldFlagsWaveThroughTheirFrames) {
    CAnimView view;
    for (int clan = UnitSets::kFirstBattleClan; clan <= UnitSets::kLastBattleClan; ++clan)
        for (int v = 1; v <= kFlagVariants; ++v) {
            std::string name = Pictures() + kFlagPicturePrefix + kClanNames[clan] + std::to_string(v) + ".giz";
            SCOPED_TRACE(name);
            CDIB dib;
            ASSERT_TRUE(dib.Load(name.c_str()));
            EXPECT_EQ(dib.PictureWidth(), 52 * kFlagFrames);
            auto* s = dynamic_cast<RLESprite*>(view.LoadRLESprite(name.c_str(), 300, 1, kFlagFrames));
            ASSERT_NE(s, nullptr);
            EXPECT_TRUE(s->HasFrames());
        }
}

}  // namespace
