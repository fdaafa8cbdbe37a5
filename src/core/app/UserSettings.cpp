#include "core/app/UserSettings.h"

#include <algorithm>

#include "core/app/LanguageFile.h"
#include "core/app/WorkFolder.h"
#include "core/base/AsciiText.h"

namespace vantrel {

namespace {

// Bytes that the file cannot hold inside a value: they would end the value or the line.
bool StorableInLine(const std::string& text) {
    return text.find_first_of(std::string("\r\n\0", 3)) == std::string::npos;
}

bool ReadBool(const IniDocument& file, const char* section, const char* key, bool fallback) {
    return ParseIniInteger(file.Get(section, key), fallback ? 1 : 0) != 0;
}

WindowState StateFromInt(int value) {
    return value == 1 ? WindowState::Minimised : value == 2 ? WindowState::Maximised : WindowState::Normal;
}

WindowPlacement ReadPlacement(const IniDocument& file, const char* section, const WindowPlacement& fallback) {
    WindowPlacement p;
    p.Left = ParseIniInteger(file.Get(section, "Left"), fallback.Left);
    p.Top = ParseIniInteger(file.Get(section, "Top"), fallback.Top);
    p.Right = ParseIniInteger(file.Get(section, "Right"), fallback.Right);
    p.Bottom = ParseIniInteger(file.Get(section, "Bottom"), fallback.Bottom);
    p.State = StateFromInt(ParseIniInteger(file.Get(section, "State"), static_cast<int>(fallback.State)));
    return p;
}

void WritePlacement(IniDocument& file, const char* section, const WindowPlacement& p) {
    file.Set(section, "Left", std::to_string(p.Left));
    file.Set(section, "Top", std::to_string(p.Top));
    file.Set(section, "Right", std::to_string(p.Right));
    file.Set(section, "Bottom", std::to_string(p.Bottom));
    file.Set(section, "State", std::to_string(static_cast<int>(p.State)));
}

std::string Flag(bool value) { return value ? "1" : "0"; }

}  // namespace

std::string ScrambleText(const std::string& text) {
    std::string stored(text.rbegin(), text.rend());
    for (char& c : stored) c = static_cast<char>(static_cast<unsigned char>(c) + 1);
    return stored;
}

std::string UnscrambleText(const std::string& stored) {
    std::string text(stored.rbegin(), stored.rend());
    for (char& c : text) c = static_cast<char>(static_cast<unsigned char>(c) - 1);
    return text;
}

UserSettings LoadSettings(const IniDocument& file, const LocaleInfo& locale) {
    UserSettings s;
    const UserSettings d;
    s.FileName = file.Get("Language", "FileName").value_or(d.FileName);

    s.IsSaved = ReadBool(file, "Log", "IsSaved", d.IsSaved);
    if (s.IsSaved) {
        s.Mail = UnscrambleText(file.Get("Log", "Mail").value_or(""));
        s.Pass = UnscrambleText(file.Get("Log", "Pass").value_or(""));
    }
    s.ProxyIsUsed = ReadBool(file, "Proxy", "IsUsed", d.ProxyIsUsed);
    if (s.ProxyIsUsed) {
        s.ProxyAddr = file.Get("Proxy", "Addr").value_or("");
        s.ProxyPort = file.Get("Proxy", "Port").value_or("");
    }

    s.ShowName = ReadBool(file, "Look", "ShowName", d.ShowName);
    s.ShowLen = ReadBool(file, "Look", "ShowLen", d.ShowLen);
    s.ShowSize = ReadBool(file, "Look", "ShowSize", d.ShowSize);
    s.AskAlbum = ReadBool(file, "Look", "AskAlbum", d.AskAlbum);
    s.AskImage = ReadBool(file, "Look", "AskImage", d.AskImage);
    s.AskModif = ReadBool(file, "Look", "AskModif", d.AskModif);
    s.AskSmall = ReadBool(file, "Look", "AskSmall", d.AskSmall);
    s.CompRate = ParseIniInteger(file.Get("Look", "CompRate"), d.CompRate);

    s.IsUpdated = ReadBool(file, "Update", "IsUpdated", d.IsUpdated);
    s.FreqIdx = ParseIniInteger(file.Get("Update", "FreqIdx"), d.FreqIdx);
    if (auto text = file.Get("Update", "LastCheck"))
        s.LastCheck = ParseDateTime(*text, locale.shortDateFormat, locale.longTimeFormat).value_or(d.LastCheck);

    s.FVWidth = ParseIniInteger(file.Get("PixForm", "FVWidth"), d.FVWidth);
    s.TVWidth = ParseIniInteger(file.Get("PixForm", "TVWidth"), d.TVWidth);
    s.SVWidth = ParseIniInteger(file.Get("PixForm", "SVWidth"), d.SVWidth);
    s.PixForm = ReadPlacement(file, "PixForm", d.PixForm);
    s.TransForm = ReadPlacement(file, "TransForm", d.TransForm);

    s.LastTree = file.Get("Path", "LastTree").value_or("");
    if (!FolderExists(s.LastTree)) s.LastTree.clear();

    s.LimitKBps = std::max(ParseIniInteger(file.Get("Transfer", "LimitKBps"), d.LimitKBps), 0);
    s.Connections =
        std::clamp(ParseIniInteger(file.Get("Transfer", "Connections"), d.Connections), 1, UserSettings::kMaxConnections);
    s.TileCacheMB = std::clamp(ParseIniInteger(file.Get("Browse", "TileCacheMB"), d.TileCacheMB),
                               UserSettings::kMinTileCacheMB, UserSettings::kMaxTileCacheMB);
    return s;
}

void StoreSettings(const UserSettings& s, const LocaleInfo& locale, IniDocument& file) {
    file.Set("Language", "FileName", s.FileName);

    file.Set("Log", "IsSaved", Flag(s.IsSaved));
    // A scrambled text holding a line break or a zero byte could not be read back whole; such a
    // login is not remembered rather than remembered wrong.
    std::string mail = s.IsSaved ? ScrambleText(s.Mail) : "";
    std::string pass = s.IsSaved ? ScrambleText(s.Pass) : "";
    file.Set("Log", "Mail", StorableInLine(mail) ? mail : "");
    file.Set("Log", "Pass", StorableInLine(pass) ? pass : "");

    file.Set("Proxy", "IsUsed", Flag(s.ProxyIsUsed));
    if (s.ProxyIsUsed) {
        file.Set("Proxy", "Addr", s.ProxyAddr);
        file.Set("Proxy", "Port", s.ProxyPort);
    }

    file.Set("Look", "ShowName", Flag(s.ShowName));
    file.Set("Look", "ShowLen", Flag(s.ShowLen));
    file.Set("Look", "ShowSize", Flag(s.ShowSize));
    file.Set("Look", "AskAlbum", Flag(s.AskAlbum));
    file.Set("Look", "AskImage", Flag(s.AskImage));
    file.Set("Look", "AskModif", Flag(s.AskModif));
    file.Set("Look", "AskSmall", Flag(s.AskSmall));
    file.Set("Look", "CompRate", std::to_string(s.CompRate));

    file.Set("Update", "IsUpdated", Flag(s.IsUpdated));
    if (s.IsUpdated) {
        file.Set("Update", "FreqIdx", std::to_string(s.FreqIdx));
        file.Set("Update", "LastCheck",
                 FormatDateTime(s.LastCheck, locale.shortDateFormat + " " + locale.longTimeFormat));
    }

    file.Set("PixForm", "FVWidth", std::to_string(s.FVWidth));
    file.Set("PixForm", "TVWidth", std::to_string(s.TVWidth));
    file.Set("PixForm", "SVWidth", std::to_string(s.SVWidth));
    WritePlacement(file, "PixForm", s.PixForm);
    WritePlacement(file, "TransForm", s.TransForm);

    file.Set("Path", "LastTree", s.LastTree);

    file.Set("Transfer", "LimitKBps", std::to_string(std::max(s.LimitKBps, 0)));
    file.Set("Transfer", "Connections", std::to_string(std::clamp(s.Connections, 1, UserSettings::kMaxConnections)));
    file.Set("Browse", "TileCacheMB",
             std::to_string(std::clamp(s.TileCacheMB, UserSettings::kMinTileCacheMB, UserSettings::kMaxTileCacheMB)));
}

std::string FirstRunLanguageFileName(const LocaleInfo& locale, const std::string& languageFolder) {
    const std::string countryFile = ToUpperAscii(locale.country) + ".lng";
    if (languageFolder.empty()) return countryFile;
    std::string folder = languageFolder;
    if (folder.back() != '/') folder += '/';
    if (FileExists(folder + countryFile)) return countryFile;
    const std::string languageFile = LanguageFile::FileNameForLanguage(locale.language);
    if (!languageFile.empty() && FileExists(folder + languageFile)) return languageFile;
    return countryFile;
}

}  // namespace vantrel
