// The user's language: the language file of the locale when the country has none, Qt's own
// buttons in that language, and French texts shown whole in the dialogs that hold them.
#include <QAbstractButton>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>

#include "GuiTestSupport.h"
#include "gui/app/TPref_Dlog.h"
#include "gui/browse/TDup_Dlog.h"

using namespace vantrel;
using namespace vantrel::gui;

namespace {

LocaleInfo Locale(const char* country, const char* language) {
    LocaleInfo locale;
    locale.country = country;
    locale.language = language;
    return locale;
}

// Names the labels and buttons of `dialog` whose text does not fit the room they were given.
QStringList CutTexts(QWidget* dialog) {
    QStringList cut;
    for (QLabel* label : dialog->findChildren<QLabel*>()) {
        if (!label->isVisibleTo(dialog) || label->text().isEmpty() || !label->pixmap().isNull()) continue;
        const bool fits = label->wordWrap() ? label->height() >= label->heightForWidth(label->width())
                                            : label->width() >= label->sizeHint().width();
        if (!fits) cut << label->objectName() + ": " + label->text();
    }
    for (QAbstractButton* button : dialog->findChildren<QAbstractButton*>()) {
        if (!button->isVisibleTo(dialog) || button->text().isEmpty()) continue;
        if (button->width() < button->sizeHint().width()) cut << button->objectName() + ": " + button->text();
    }
    return cut;
}

}  // namespace

class LocaleTest : public QObject {
    Q_OBJECT

private slots:
    void frenchSpeakersOutsideFranceGetFrench() {
        struct Case { const char* country; const char* language; const char* file; };
        const Case cases[] = {{"BE", "fr", "FR.lng"}, {"CA", "fr", "FR.lng"}, {"CH", "fr", "FR.lng"},
                              {"CH", "de", "GB.lng"}, {"US", "en", "GB.lng"}};
        for (const Case& c : cases) {
            test::TempFolder home;
            auto window = test::OpenWindow(home, Locale(c.country, c.language));
            QVERIFY(window->StartedWell());
            QCOMPARE(QString::fromStdString(window->Context().Language().Path()),
                     QString(VANTREL_PROGRAM_FOLDER) + "Language/" + c.file);
        }
    }

    // Qt's own buttons speak the language file's language, and English again after an English window.
    void qtButtonsFollowTheLanguageFile() {
        const std::pair<LocaleInfo, QStringList> cases[] = {
            {Locale("BE", "fr"), {"&Oui", "&Non", "Annuler"}},
            {Locale("GB", "en"), {"&Yes", "&No", "Cancel"}},
        };
        for (const auto& [locale, expected] : cases) {
            test::TempFolder home;
            auto window = test::OpenWindow(home, locale);
            QMessageBox box(QMessageBox::Question, "t", "q", QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                            window.get());
            const QStringList shown = {box.button(QMessageBox::Yes)->text(), box.button(QMessageBox::No)->text(),
                                       box.button(QMessageBox::Cancel)->text()};
            QCOMPARE(shown, expected);
        }
    }

    void frenchDialogsShowTheirTextsWhole() {
        test::TempFolder home;
        auto window = test::OpenWindow(home, Locale("FR", "fr"));
        TPref_Dlog preferences(window->Context());
        preferences.show();
        QVERIFY(QTest::qWaitForWindowExposed(&preferences));
        QVERIFY(preferences.width() >= 452 && preferences.height() >= 308);
        for (const char* name : {"Look_Sheet", "Secure_Sheet", "Upload_Sheet", "Update_Sheet"}) {
            QWidget* sheet = test::Child<QWidget>(&preferences, name);
            test::Child<QStackedWidget>(&preferences, "Pages")->setCurrentWidget(sheet);
            QApplication::processEvents();
            QVERIFY2(CutTexts(sheet).isEmpty(), qPrintable(CutTexts(sheet).join(" | ")));
        }

        TDup_Dlog notice(window->Translate("Dup_Dlog"),
                         window->Translate("D_Upper1_Part") + " " + window->Translate("D_Upper2"),
                         window->Translate("D_Lower"), window->Translate("D_NoMore"), window.get());
        notice.show();
        QVERIFY(QTest::qWaitForWindowExposed(&notice));
        QVERIFY(notice.width() >= 312 && notice.height() >= 126);
        QVERIFY2(CutTexts(&notice).isEmpty(), qPrintable(CutTexts(&notice).join(" | ")));
    }
};

QTEST_MAIN(LocaleTest)
#include "LocaleTest.moc"
