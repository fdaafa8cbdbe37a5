#include "gui/retouch/tools/RetouchOperations.h"

#include <type_traits>

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

bool StretchTones(Bitmap32& photo, const BeforeChange& beforeChange) {
    auto table = AutoToneTable(photo);
    if (!table) return false;  // nothing to stretch: no undo step, no change
    beforeChange();
    ApplyTable(photo, *table);
    return true;
}

void TintWithChosenColour(Bitmap32& photo) { ApplyTint(photo, TintColourTool::TintColour().rgb() & 0xFFFFFFu); }

template <class Tool>
std::unique_ptr<RetouchTool> Make(RetouchHost& host, QWidget* parent) {
    if constexpr (std::is_constructible_v<Tool, RetouchHost&, QWidget*>) return std::make_unique<Tool>(host, parent);
    else return std::make_unique<Tool>(host);
}

// Whether a separator comes before the operation's command.
constexpr bool kNewGroup = true;
constexpr bool kSameGroup = false;

constexpr RetouchOperation kOperations[] = {
    {RetouchOp::Crop, "ImgCrop1", "Cadrage", ":/icons/crop.svg", kSameGroup, nullptr, Make<CropTool>},
    {RetouchOp::Light, "ImgLum1", "Luminosité", "display-brightness", kSameGroup, nullptr, Make<LightTool>},
    {RetouchOp::AutoTone, "ImgTone1", "Tonalité automatique", ":/icons/auto-tone.svg", kSameGroup, StretchTones, nullptr},
    {RetouchOp::TurnLeft, "ImgRotL1", "Pivoter à gauche", "object-rotate-left", kSameGroup, Always<TurnPhotoCounterClockwise>, nullptr},
    {RetouchOp::TurnRight, "ImgRotR1", "Pivoter à droite", "object-rotate-right", kSameGroup, Always<TurnPhotoClockwise>, nullptr},
    {RetouchOp::Soften, "ImgMinus1", "Moins net", ":/icons/soften.svg", kSameGroup, Always<SoftenPhoto>, nullptr},
    {RetouchOp::Sharpen, "ImgPlus1", "Plus net", ":/icons/sharpen.svg", kSameGroup, Always<SharpenPhoto>, nullptr},
    {RetouchOp::Negative, "ImgNeg1", "Négatif", ":/icons/negative.svg", kSameGroup, Always<MakeNegative>, nullptr},
    {RetouchOp::BlackAndWhite, "ImgBlack1", "Noir & blanc", ":/icons/black-white.svg", kSameGroup, Always<MakeBlackAndWhite>, nullptr},
    {RetouchOp::Tint, "ImgTint1", "Colorisation", ":/icons/tint.svg", kNewGroup, Always<TintWithChosenColour>, nullptr},
    {RetouchOp::TintColour, "ImgTintColor1", "", "", kSameGroup, nullptr, Make<TintColourTool>},
    {RetouchOp::RedEye, "ImgRedEye1", "Anti yeux rouges", ":/icons/red-eye.svg", kNewGroup, nullptr, Make<RedEyeTool>},
    {RetouchOp::Title, "ImgTitle1", "Titrages", "insert-text", kSameGroup, nullptr, Make<TitleTool>},
};

// Each id at its own index, each operation with exactly one way to act.
constexpr bool WellFormed() {
    for (int i = 0; i < int(std::size(kOperations)); ++i)
        if (int(kOperations[i].id) != i || !kOperations[i].apply == !kOperations[i].makeTool) return false;
    return true;
}
static_assert(WellFormed());

}  // namespace

std::span<const RetouchOperation> RetouchOperations() { return kOperations; }

const RetouchOperation& RetouchOperationOf(RetouchOp id) { return kOperations[int(id)]; }

}  // namespace vantrel::gui
