#pragma once
// The few facts of the user's locale that core needs. The gui reads them from the system
// (QLocale) and hands them down as a value, so that core never depends on installed glibc
// locales and tests can pass any locale they like.

#include <array>
#include <string>

namespace vantrel {

struct LocaleInfo {
    // ISO 3166 two-letter country code of the user's locale, upper case ("GB", "FR").
    std::string country = "GB";
    // ISO 639 language code of the user's locale, lower case ("en", "fr"): picks the language
    // file when the country has none of its own (French speakers in Belgium, Canada, Switzerland).
    std::string language = "en";
    // Decimal separator used when sizes and times are printed ("1.50" or "1,50").
    char decimalSeparator = '.';
    // Full month names, January first, in the user's locale (used to name new albums).
    std::array<std::string, 12> monthNames = {"January", "February", "March",     "April",
                                              "May",     "June",     "July",      "August",
                                              "September", "October", "November", "December"};
    // Full month names of the system's default locale (used to recognise date-named albums).
    std::array<std::string, 12> systemMonthNames = monthNames;
    // Short date and long time formats, as Qt-style patterns ("dd/MM/yyyy", "HH:mm:ss").
    std::string shortDateFormat = "dd/MM/yyyy";
    std::string longTimeFormat = "HH:mm:ss";
};

}  // namespace vantrel
