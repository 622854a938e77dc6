#include "app/SettingsDialog.h"

#include "support/EverySetting.h"
#include "support/SilentPrintServer.h"
#include "support/TempFolder.h"
#include "worksheet/Preset.h"

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace sbk3 {
namespace {

ClassSetRequest openingFor(const char* type) {
    ClassSetRequest request;
    request.settings = SettingsForType(type);
    return request;
}

std::vector<SystemPrinter> twoPrinters() {
    SystemPrinter office;
    office.name = "Office";
    office.isDefault = true;
    SystemPrinter hall;
    hall.name = "Hall";
    hall.stopped = true;
    return {office, hall};
}

class SettingsDialogTest : public ::testing::Test {
protected:
    ClassSetRequest opening = openingFor("Addition");
    std::vector<SystemPrinter> printers = twoPrinters();
    SettingsDialog dialog{opening, printers};
    std::vector<QString> questions;
    bool answerYes = true;

    void SetUp() override {
        dialog.askYesNo = [this](const QString& text) {
            questions.push_back(text);
            return answerYes;
        };
        dialog.askPdfPath = [] { return QStringLiteral("/tmp/set.pdf"); };
    }
    template <typename T> T* field(const char* name) {
        T* found = dialog.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
};

TEST_F(SettingsDialogTest, OpensWithItsValuesAndEveryFieldNamedByItsLabel) {
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Worksheet Settings"));
    EXPECT_EQ(dialog.request().settings, opening.settings);
    EXPECT_EQ(dialog.request().printer, "Office"); // the default first
    for (QLabel* label : dialog.findChildren<QLabel*>()) {
        if (QWidget* buddy = label->buddy()) {
            EXPECT_EQ(buddy->accessibleName(), label->text()) << label->text().toStdString();
        }
    }
    EXPECT_EQ(field<QCheckBox>("Table7")->accessibleName(), QStringLiteral("Table 7"));
    EXPECT_EQ(field<QComboBox>("printer")->itemText(1), QStringLiteral("Hall (paused)"));
    EXPECT_EQ(field<QComboBox>("printer")->itemText(2), QStringLiteral("PDF file..."));
}

TEST_F(SettingsDialogTest, WhatCannotBeMetIsRefusedInTheDialog) {
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    field<QSpinBox>("firstMin")->setValue(20);
    EXPECT_FALSE(dialog.tryAccept());
    EXPECT_EQ(dialog.refusal(),
              QStringLiteral("The smallest of the first numbers is larger than the largest."));
    // A screen reader reads it: the sentence takes the keyboard, named by itself.
    EXPECT_TRUE(field<QLabel>("refusal")->hasFocus());
    EXPECT_EQ(field<QLabel>("refusal")->accessibleName(), dialog.refusal());
    field<QSpinBox>("firstMin")->setValue(0);
    field<QSpinBox>("problems")->setValue(301);
    EXPECT_FALSE(dialog.tryAccept());
    EXPECT_EQ(dialog.refusal(), QStringLiteral("The number of problems can range from 1 to 300."));
    field<QSpinBox>("problems")->setValue(81); // Easy Reading: the page lays itself out
    // A number beyond its field's range is refused with a sentence, not cut.
    field<QSpinBox>("firstMax")->setValue(12345);
    EXPECT_FALSE(dialog.tryAccept());
    EXPECT_EQ(dialog.refusal(), QStringLiteral("The first numbers go from 0 to 9999."));
    field<QSpinBox>("firstMax")->setValue(100);
    EXPECT_TRUE(dialog.tryAccept());
    EXPECT_EQ(dialog.refusal(), QString());
    dialog.setResult(QDialog::Rejected);
    field<QSpinBox>("firstMax")->setValue(9);

    // Fewer different problems than asked for: asked first, and No makes nothing.
    field<QSpinBox>("problems")->setValue(80);
    field<QCheckBox>("noRepeats")->setChecked(true);
    field<QSpinBox>("firstMax")->setValue(2);
    answerYes = false;
    EXPECT_FALSE(dialog.tryAccept());
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_TRUE(questions[0].startsWith(QStringLiteral("These settings allow only 30")));
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

// Every field away from its default comes back out as it went in: a field the dialog shows but
// no longer reads, or reads into the wrong place, fails here.
TEST(SettingsDialogRoundTripTest, EveryFieldAwayFromItsDefaultComesBackOut) {
    ClassSetRequest away = test::everySettingAwayFromDefault();
    away.printer = "Hall"; // one the dialog lists
    ASSERT_FALSE(away == ClassSetRequest{});
    const SettingsDialog dialog(away, twoPrinters());
    EXPECT_EQ(dialog.request(), away);
}

// What OK uses is what the field shows: a cleared field or one holding what is no number of its
// range is refused with a sentence, never replaced by the value it had before.
TEST_F(SettingsDialogTest, ABlankOrUnreadableNumberIsRefusedNotReplaced) {
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    auto* versions = field<QSpinBox>("versions");
    versions->setValue(4);
    for (const char* typed : {"", "-5", "abc"}) {
        versions->findChild<QLineEdit*>()->setText(QString::fromLatin1(typed));
        EXPECT_FALSE(dialog.tryAccept()) << typed;
        EXPECT_EQ(dialog.refusal(),
                  QStringLiteral("Type a whole number from 0 to 999 in \"Versions\"."))
            << typed;
        // The field takes the keyboard and says the sentence after its name.
        EXPECT_TRUE(versions->hasFocus());
        EXPECT_EQ(versions->accessibleDescription(), dialog.refusal());
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
    }
    versions->findChild<QLineEdit*>()->setText(QStringLiteral("3"));
    EXPECT_TRUE(dialog.tryAccept());
    EXPECT_EQ(dialog.request().versions, 3);
}

TEST_F(SettingsDialogTest, ReturnPressesOkAndAPdfIsAskedFor) {
    field<QComboBox>("printer")->setCurrentIndex(2);
    dialog.show();
    QTest::keyClick(field<QSpinBox>("versions"), Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.request().pdfPath, "/tmp/set.pdf");
    EXPECT_EQ(dialog.request().printer, "");
}

// A print server that takes the question and never answers: the dialog opens at once, says it is
// asking, answers keys and the timer all along, and offers the default printer once it has waited
// long enough.
TEST(SettingsDialogPrintersTest, APrintServerThatNeverAnswersFreezesNothing) {
    const test::SilentPrintServer silent;
    QElapsedTimer clock;
    clock.start();
    SettingsDialog dialog(openingFor("Addition"), std::nullopt);
    dialog.show();
    EXPECT_LT(clock.elapsed(), 5000); // well within any print system's time-out
    auto* printer = dialog.findChild<QComboBox*>(QStringLiteral("printer"));
    ASSERT_NE(printer, nullptr);
    EXPECT_EQ(printer->currentText(), QStringLiteral("Asking the printers..."));
    qint64 longest = 0;
    QElapsedTimer since;
    since.start();
    QTimer beat;
    QObject::connect(&beat, &QTimer::timeout,
                     [&] { longest = std::max(longest, since.restart()); });
    beat.start(5);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return printer->currentText() ==
                   QStringLiteral("The default printer (the print system does not answer)");
        },
        10000));
    EXPECT_LT(longest, 1000); // the print system's time-out is minutes
    EXPECT_EQ(printer->count(), 2);
    EXPECT_EQ(dialog.request().printer, "");
}

// Named settings: saved under a name asked for, chosen from the drop-down to fill every field,
// renamed and deleted; one that cannot be read is named in the refusal and left untouched.
TEST(SettingsDialogPresetTest, PresetsAreSavedChosenRenamedAndDeleted) {
    test::TempFolder worksheets;
    const std::filesystem::path folder = presetFolder(worksheets.path());
    ClassSetRequest yearFive = openingFor("Division");
    yearFive.settings.forms[Divide] = Form::LongDivision;
    yearFive.settings.dividendMax = 9999, yearFive.settings.quotientMax = 9999;
    yearFive.versions = 4;
    yearFive.look.size = PrintSize::Large;
    yearFive.title = "Year 5 (N)";
    yearFive.printer = "Hall";
    SettingsDialog dialog(yearFive, twoPrinters());
    dialog.setPresetFolder(folder);
    QString named = QStringLiteral("Year 5 long division");
    dialog.askName = [&](const QString&) { return named; };
    dialog.askYesNo = [](const QString&) { return true; };
    dialog.savePresetAs();
    EXPECT_EQ(presetNames(folder), std::vector<std::string>{"Year 5 long division"});

    SettingsDialog other(openingFor("Addition"), twoPrinters());
    other.setPresetFolder(folder);
    auto* list = other.findChild<QComboBox*>(QStringLiteral("preset"));
    ASSERT_EQ(list->count(), 2); // "(none chosen)" and the one saved
    EXPECT_TRUE(other.choosePreset(named));
    EXPECT_EQ(other.request(), yearFive);

    other.askName = [](const QString&) { return QStringLiteral("Year 5 (4 versions)"); };
    other.renameChosenPreset();
    EXPECT_EQ(presetNames(folder), std::vector<std::string>{"Year 5 (4 versions)"});
    EXPECT_EQ(list->currentText(), QStringLiteral("Year 5 (4 versions)"));
    other.askYesNo = [](const QString&) { return true; };
    other.deleteChosenPreset();
    EXPECT_TRUE(presetNames(folder).empty());
    EXPECT_EQ(other.request(), yearFive); // the fields stay

    test::writeBytes(folder / "Newer.preset", "Sumbrook 3 settings 7\nversions = 9\n");
    other.setPresetFolder(folder);
    EXPECT_FALSE(other.choosePreset(QStringLiteral("Newer")));
    EXPECT_EQ(other.refusal(), QStringLiteral("The settings \"Newer\" cannot be used: it was made "
                                              "by a later version of Sumbrook 3. The file is left "
                                              "as it is."));
    EXPECT_EQ(test::readBytes(folder / "Newer.preset"), "Sumbrook 3 settings 7\nversions = 9\n");
    EXPECT_EQ(other.request(), yearFive);
    named = QStringLiteral("../outside");
    dialog.savePresetAs();
    EXPECT_TRUE(dialog.refusal().startsWith(QStringLiteral("A name of settings cannot")));
}

} // namespace
} // namespace sbk3
