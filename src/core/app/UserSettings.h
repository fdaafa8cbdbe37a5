#pragma once
// The user's options, remembered login, window layout and last folder, kept in the settings file
// from one run to the next. The same file also caches some of the service's parameters; the
// service's code reads and writes those keys.

#include <string>

#include "core/app/DateTime.h"
#include "core/app/IniDocument.h"
#include "core/app/LocaleInfo.h"

namespace vantrel {

enum class WindowState { Normal = 0, Minimised = 1, Maximised = 2 };

struct WindowPlacement {
    int Left, Top, Right /* width */, Bottom /* height */;
    WindowState State = WindowState::Normal;
};

struct UserSettings {
    // Language
    std::string FileName = "GB.lng";
    // Log: the remembered login of the transfer page.
    bool IsSaved = false;
    std::string Mail;
    std::string Pass;
    // Proxy: when used, every connection of a transfer run goes through it (ProxyAddressOf).
    bool ProxyIsUsed = false;
    std::string ProxyAddr;
    std::string ProxyPort;
    // Look
    bool ShowName = true;
    bool ShowLen = true;
    bool ShowSize = true;
    bool AskAlbum = true;
    bool AskImage = true;
    bool AskModif = true;
    bool AskSmall = true;  // before a run with photos too small for a good 10x15 print
    int CompRate = 95;
    // Update
    bool IsUpdated = true;
    int FreqIdx = 0;
    SerialDateTime LastCheck = 0;
    // PixForm: main window layout and column widths.
    int FVWidth = 225;
    int TVWidth = 172;
    int SVWidth = 190;
    WindowPlacement PixForm{100, 100, 601, 320};
    // TransForm: a former transfer window's layout, read and written back unchanged.
    WindowPlacement TransForm{200, 100, 450, 318};
    // Path
    std::string LastTree;
    // Transfer: the upload limited to this many KB/s (1000 bytes) for the whole run; 0: none.
    int LimitKBps = 0;
    // Transfer: how many FTP sessions the run sends on side by side; a file's value outside the
    // range is brought into it.
    int Connections = 2;
    static constexpr int kMaxConnections = 4;
    // Browse: the most the folder of cached tiles may take, in MB ([Browse] TileCacheMB); enough
    // by default for the tiles of well over 20,000 photos.
    int TileCacheMB = 512;
    static constexpr int kMinTileCacheMB = 16;
    static constexpr int kMaxTileCacheMB = 65536;
};

// Mail and Pass are stored scrambled: characters from last to first, each byte value plus one
// (255 becomes 0). "abc" is stored as "dcb".
std::string ScrambleText(const std::string& text);
std::string UnscrambleText(const std::string& stored);

// Reads every key, with the defaults for what is missing or unreadable. Mail and Pass only when
// IsSaved, Addr and Port only when IsUsed; LastTree is dropped when no such folder exists.
UserSettings LoadSettings(const IniDocument& file, const LocaleInfo& locale);

// Writes every key into `file` in the table's order: Mail and Pass empty unless IsSaved, Addr and
// Port only when IsUsed, FreqIdx and LastCheck only when IsUpdated. Other lines of the file stay.
void StoreSettings(const UserSettings& settings, const LocaleInfo& locale, IniDocument& file);

// The language file name of a first run: the user's country code, upper case, + ".lng", when
// `languageFolder` holds that file (or is empty); else the file of the user's language when the
// folder holds it (a Belgian French speaker gets "FR.lng"); else the country's name again.
std::string FirstRunLanguageFileName(const LocaleInfo& locale, const std::string& languageFolder = {});

}  // namespace vantrel
