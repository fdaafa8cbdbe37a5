#pragma once
// What the preferences dialog reads from its fields and how it stores them: the reading of its
// number field, the limits of the quality field, and the proxy checks that keep the dialog open.
// Whole numbers are read as ParseWholeNumber reads them (decimal or hexadecimal, leading blanks).

#include <optional>
#include <string>
#include <string_view>

#include "core/app/UserSettings.h"
#include "core/base/CommaText.h"  // ParseWholeNumber: the whole numbers a field accepts

namespace vantrel {

// The range of a number field with up and down buttons.
struct SpinRange {
    int minValue = 0;
    int maxValue = 100;

    // `value` brought into the range.
    int Limit(int value) const;
    // The field's value read from its text: the whole number as it stands (not limited), or the
    // minimum when the text is no whole number.
    int Read(std::string_view text) const;
};

// The JPEG quality field.
inline constexpr SpinRange kCompRateRange{1, 100};

// The state of the dialog's controls when it is asked to close.
struct PreferenceChoices {
    bool proxyUsed = false;
    std::string proxyHost;
    std::string proxyPort;
    bool showName = true;
    bool showLen = true;
    bool showSize = true;
    bool askAlbum = true;
    bool askImage = true;
    bool askModif = true;
    bool askSmall = true;
    int compRate = 95;
    bool isUpdated = true;
    int freqIdx = 0;
    int limitKBps = 0;  // the upload limit in KB/s; 0: none
    int connections = 2;  // FTP sessions side by side, 1..UserSettings::kMaxConnections
};

// Why the dialog stays open: a proxy in use needs a host and a whole-number port.
enum class PreferenceCheck { Stored, ProxyHostMissing, ProxyPortInvalid };

// Stores `choices` into `settings`. IsUsed always takes the proxy choice first; when the proxy is
// in use without a host or with a port that is no whole number, nothing else is stored and the
// reason is returned. A proxy in use keeps the host and the port text as typed (no port range is
// checked); a proxy not in use empties both.
PreferenceCheck StorePreferences(const PreferenceChoices& choices, UserSettings& settings);

// The item of a radio group of `count` choices that `index` selects: a value past the last item
// selects the last, a negative value selects none (-1).
int RadioItemIndex(int index, int count);

}  // namespace vantrel
