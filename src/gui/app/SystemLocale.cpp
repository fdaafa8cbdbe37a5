#include "gui/app/SystemLocale.h"

#include <QLocale>

namespace vantrel::gui {

LocaleInfo SystemLocaleInfo() {
    LocaleInfo info;
    const QLocale system = QLocale::system();
    if (system.language() == QLocale::C) return info;
    const QString country = QLocale::territoryToCode(system.territory());
    if (country.size() == 2) info.country = country.toUpper().toStdString();
    const QString language = QLocale::languageToCode(system.language(), QLocale::ISO639Part1);
    if (language.size() == 2) info.language = language.toLower().toStdString();
    const QString decimal = system.decimalPoint();
    if (decimal.size() == 1 && decimal[0].unicode() < 128) info.decimalSeparator = decimal[0].toLatin1();
    for (int month = 1; month <= 12; ++month)
        info.monthNames[month - 1] = system.monthName(month, QLocale::LongFormat).toStdString();
    // The process's default locale stands for the system's: both come from the environment here.
    info.systemMonthNames = info.monthNames;
    info.shortDateFormat = system.dateFormat(QLocale::ShortFormat).toStdString();
    info.longTimeFormat = system.timeFormat(QLocale::LongFormat).toStdString();
    // Long time formats may name the time zone ("t"), which a settings file cannot read back.
    auto& time = info.longTimeFormat;
    for (size_t at; (at = time.find(" t")) != std::string::npos;) time.erase(at, 2);
    for (size_t at; (at = time.find('t')) != std::string::npos;) time.erase(at, 1);
    return info;
}

}  // namespace vantrel::gui
