#include "gui/retouch/tools/RetouchCommands.h"

#include "core/retouch/AutoTone.h"
#include "core/retouch/ColourOps.h"
#include "core/retouch/Convolution.h"
#include "core/retouch/RetouchPixels.h"
#include "gui/retouch/tools/CropTool.h"
#include "gui/retouch/tools/LightTool.h"
#include "gui/retouch/tools/RedEyeTool.h"
#include "gui/retouch/tools/TintColourTool.h"
#include "gui/retouch/tools/TitleTool.h"

namespace vantrel::gui {

namespace {

// An operation that always changes the photo.
template <void (*Operation)(Bitmap32&)>
bool Always(Bitmap32& photo, const BeforeChange& beforeChange) {
    beforeChange();
    Operation(photo);
    return true;
}

bool AutoTone(Bitmap32& photo, const BeforeChange& beforeChange) {
    auto table = AutoToneTable(photo);
    if (!table) return false;  // nothing to stretch: no undo step, no change
    beforeChange();
    ApplyTable(photo, *table);
    return true;
}

void Tint(Bitmap32& photo) { ApplyTint(photo, TintColourTool::TintColour().rgb() & 0xFFFFFFu); }

constexpr RetouchCommand kCommands[] = {
    {"ImgCrop1", "Cadrage", ":/icons/crop.svg"},
    {"ImgLum1", "Luminosité", "display-brightness"},
    {"ImgTone1", "Tonalité automatique", ":/icons/auto-tone.svg", AutoTone},
    {"ImgRotL1", "Pivoter à gauche", "object-rotate-left", Always<TurnPhotoCounterClockwise>},
    {"ImgRotR1", "Pivoter à droite", "object-rotate-right", Always<TurnPhotoClockwise>},
    {"ImgMinus1", "Moins net", ":/icons/soften.svg", Always<SoftenPhoto>},
    {"ImgPlus1", "Plus net", ":/icons/sharpen.svg", Always<SharpenPhoto>},
    {"ImgNeg1", "Négatif", ":/icons/negative.svg", Always<MakeNegative>},
    {"ImgBlack1", "Noir & blanc", ":/icons/black-white.svg", Always<MakeBlackAndWhite>},
    {"", "", ""},
    {"ImgTint1", "Colorisation", ":/icons/tint.svg", Always<Tint>},
    {"ImgTintColor1", "", ""},
    {"", "", ""},
    {"ImgRedEye1", "Anti yeux rouges", ":/icons/red-eye.svg"},
    {"ImgTitle1", "Titrages", "insert-text"},
};

}  // namespace

std::span<const RetouchCommand> RetouchCommands() { return kCommands; }

std::vector<std::unique_ptr<RetouchTool>> MakeRetouchTools(RetouchHost& host, QWidget* parent) {
    // In the order in which their panels are stacked above the photo.
    std::vector<std::unique_ptr<RetouchTool>> tools;
    tools.push_back(std::make_unique<CropTool>(host, parent));
    tools.push_back(std::make_unique<LightTool>(host, parent));
    tools.push_back(std::make_unique<RedEyeTool>(host, parent));
    tools.push_back(std::make_unique<TitleTool>(host, parent));
    tools.push_back(std::make_unique<TintColourTool>(host));
    return tools;
}

}  // namespace vantrel::gui
