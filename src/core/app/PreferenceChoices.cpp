#include "core/app/PreferenceChoices.h"

#include <algorithm>

namespace vantrel {

int SpinRange::Limit(int value) const { return std::clamp(value, minValue, maxValue); }

int SpinRange::Read(std::string_view text) const { return ParseWholeNumber(text).value_or(minValue); }

PreferenceCheck StorePreferences(const PreferenceChoices& choices, UserSettings& settings) {
    settings.ProxyIsUsed = choices.proxyUsed;
    if (choices.proxyUsed) {
        if (choices.proxyHost.empty()) return PreferenceCheck::ProxyHostMissing;
        if (!ParseWholeNumber(choices.proxyPort)) return PreferenceCheck::ProxyPortInvalid;
        settings.ProxyAddr = choices.proxyHost;
        settings.ProxyPort = choices.proxyPort;
    } else {
        settings.ProxyAddr.clear();
        settings.ProxyPort.clear();
    }
    settings.ShowName = choices.showName;
    settings.ShowLen = choices.showLen;
    settings.ShowSize = choices.showSize;
    settings.AskAlbum = choices.askAlbum;
    settings.AskImage = choices.askImage;
    settings.AskModif = choices.askModif;
    settings.AskSmall = choices.askSmall;
    settings.CompRate = choices.compRate;
    settings.IsUpdated = choices.isUpdated;
    settings.FreqIdx = choices.freqIdx;
    settings.LimitKBps = std::max(choices.limitKBps, 0);
    settings.Connections = std::clamp(choices.connections, 1, UserSettings::kMaxConnections);
    return PreferenceCheck::Stored;
}

int RadioItemIndex(int index, int count) {
    if (index < 0) return -1;
    return std::min(index, count - 1);
}

}  // namespace vantrel
