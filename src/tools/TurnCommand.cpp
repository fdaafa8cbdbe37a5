// vantrel-cli turn FILE left|right: the window's turn of a photo, on a file the user names.
#include <cstdio>

#include "core/imaging/ImageFileOps.h"
#include "tools/CliCommand.h"

namespace vantrel::cli {
namespace {

int RunTurn(const std::vector<std::string>& args) {
    if (args.size() != 2 || (args[1] != "left" && args[1] != "right")) {
        std::fprintf(stderr, "usage: vantrel-cli turn FILE left|right\n");
        return 2;
    }
    const TurnDirection direction = args[1] == "right" ? TurnDirection::Clockwise : TurnDirection::CounterClockwise;
    ImageWorkspace ws;
    const auto turned = RotateImageFile(ws, args[0], direction, kTurnReencodeQuality);
    if (!turned) {
        std::fprintf(stderr, "vantrel-cli turn: %s: %s\n", args[0].c_str(), turned.error().message.c_str());
        return 1;
    }
    if (turned->lossless)
        std::printf("%s: turned losslessly\n", args[0].c_str());
    else
        std::printf("%s: turned by re-encoding at quality %d: %s\n", args[0].c_str(), kTurnReencodeQuality,
                    turned->reencodedBecause.c_str());
    return 0;
}

const CliCommandRegistration reg("turn", {"turn FILE left|right", "turns a photo a quarter, losslessly if it can",
                                          RunTurn});

}  // namespace
}  // namespace vantrel::cli
