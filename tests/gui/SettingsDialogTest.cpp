#include "app/SettingsDialog.h"

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QSpinBox>
#include <QTest>

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
    SettingsDialog dialog{opening, true, printers};
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
    field<QSpinBox>("firstMin")->setValue(20);
    EXPECT_FALSE(dialog.tryAccept());
    EXPECT_EQ(dialog.refusal(),
              QStringLiteral("The smallest first numbers is larger than the largest."));
    field<QSpinBox>("firstMin")->setValue(0);
    field<QSpinBox>("problems")->setValue(81); // Easy Reading in the window
    EXPECT_FALSE(dialog.tryAccept());
    EXPECT_EQ(dialog.refusal(),
              QStringLiteral("The number of problems can range from 1 to 80 in easy mode."));

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

TEST_F(SettingsDialogTest, ReturnPressesOkAndAPdfIsAskedFor) {
    field<QComboBox>("printer")->setCurrentIndex(2);
    dialog.show();
    QTest::keyClick(field<QSpinBox>("versions"), Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.request().pdfPath, "/tmp/set.pdf");
    EXPECT_EQ(dialog.request().printer, "");
}

} // namespace
} // namespace sbk3
