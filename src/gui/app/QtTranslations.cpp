#include "gui/app/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include "core/app/LanguageFile.h"

namespace vantrel::gui {

bool InstallQtTranslation(const std::string& languageFilePath) {
    // One translator for the whole process: a second window (or test) replaces the first's choice.
    static QTranslator* installed = nullptr;
    if (installed) {
        QCoreApplication::removeTranslator(installed);
        delete installed;
        installed = nullptr;
    }
    const QString language = QString::fromStdString(LanguageFile::LanguageOfFile(languageFilePath));
    if (language.isEmpty() || language == "en") return false;
    auto translator = new QTranslator(QCoreApplication::instance());
    // "qt_fr" gathers qtbase and the other modules' texts; "qtbase_fr" alone where it is missing.
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!translator->load("qt_" + language, folder) && !translator->load("qtbase_" + language, folder)) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    installed = translator;
    return true;
}

}  // namespace vantrel::gui
