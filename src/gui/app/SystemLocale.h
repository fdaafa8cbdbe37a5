#pragma once
// The user's locale as core needs it, read from the system through Qt.

#include "core/app/LocaleInfo.h"

namespace vantrel::gui {

// Country, decimal separator, month names and date formats of QLocale::system(); a locale
// without a country (the "C" locale) counts as British English.
LocaleInfo SystemLocaleInfo();

}  // namespace vantrel::gui
