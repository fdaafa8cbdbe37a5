#pragma once
// Qt's own texts (the buttons of message boxes, the colour and font dialogs) in the language of
// the language file in use, from the translations installed with Qt.

#include <string>

namespace vantrel::gui {

// Loads Qt's translation for the language the file at `languageFilePath` speaks and installs it
// on the application, replacing one installed before; English, or a language Qt has no
// translation for, leaves Qt's own English texts. Returns whether a translation is installed.
bool InstallQtTranslation(const std::string& languageFilePath);

}  // namespace vantrel::gui
