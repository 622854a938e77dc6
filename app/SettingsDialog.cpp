#include "app/SettingsDialog.h"

#include "app/PrinterQuery.h"
#include "common/ProblemKinds.h"
#include "common/RuntimeError.h"
#include "print/QtText.h"
#include "worksheet/Preset.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTabWidget>

namespace sbk3 {
namespace {

constexpr const char* kOperationNames[] = {"Addition", "Subtraction", "Multiplication", "Division"};
constexpr const char* kKeys[] = {"None", "After each worksheet", "All at the end"};

QString printerEntry(const SystemPrinter& printer) {
    const char* state = !printer.accepting ? "not accepting jobs"
                        : printer.stopped  ? "paused"
                                           : "ready";
    return fromUtf8(printer.name) + QStringLiteral(" (") + QString::fromLatin1(state) +
           (printer.isDefault ? QStringLiteral(", default)") : QStringLiteral(")"));
}

} // namespace

SettingsDialog::SettingsDialog(const ClassSetRequest& opening,
                               const std::optional<std::vector<SystemPrinter>>& printers,
                               QWidget* parent)
    : QDialog(parent), m_openingPrinter(opening.printer) {
    setObjectName(QStringLiteral("worksheetSettings"));
    setWindowTitle(QStringLiteral("Worksheet Settings"));
    m_grid = new QGridLayout(this);
    buildPresets();
    buildProblems(opening);
    buildSet(opening);

    m_refusal = new QLabel(this);
    m_refusal->setObjectName(QStringLiteral("refusal"));
    m_refusal->setWordWrap(true);
    m_refusal->setStyleSheet(QStringLiteral("color: #a00000"));
    m_grid->addWidget(m_refusal, m_row++, 0, 1, 2);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true); // Return presses OK
    m_grid->addWidget(buttons, m_row++, 0, 1, 2);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { tryAccept(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    askYesNo = [this](const QString& text) {
        return QMessageBox::question(this, windowTitle(), text + QStringLiteral(" Make them?")) ==
               QMessageBox::Yes;
    };
    askName = [this](const QString& current) {
        return QInputDialog::getText(this, windowTitle(), QStringLiteral("Name of these settings:"),
                                     QLineEdit::Normal, current);
    };
    askPdfPath = [this] {
        const QString documents =
            QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        return QFileDialog::getSaveFileName(this, windowTitle(),
                                            documents + QStringLiteral("/worksheets.pdf"),
                                            QStringLiteral("PDF files (*.pdf)"));
    };
    updateNote();
    if (printers) {
        setPrinters(printers);
        if (!opening.pdfPath.empty())
            m_printer->setCurrentIndex(m_printer->count() - 1);
    } else {
        m_printer->clear();
        m_printer->addItem(QStringLiteral("Asking the printers..."), QString());
        m_printer->addItem(QStringLiteral("PDF file..."));
        m_printer->setCurrentIndex(opening.pdfPath.empty() ? 0 : 1);
        askSystemPrinters(this, kPrinterAnswerTime,
                          [this](const std::optional<std::vector<SystemPrinter>>& answer) {
                              setPrinters(answer);
                          });
    }
}

void SettingsDialog::setPrinters(const std::optional<std::vector<SystemPrinter>>& printers) {
    const bool toPdf =
        m_printer->count() > 0 && m_printer->currentIndex() == m_printer->count() - 1;
    const QString chosen = m_printer->count() > 0 && !toPdf ? m_printer->currentData().toString()
                                                            : fromUtf8(m_openingPrinter);
    m_printers = printers.value_or(std::vector<SystemPrinter>{});
    m_printer->clear();
    for (const SystemPrinter& printer : m_printers)
        m_printer->addItem(printerEntry(printer), fromUtf8(printer.name));
    if (!printers)
        m_printer->addItem(QStringLiteral("The default printer (the print system does not answer)"),
                           QString());
    else if (m_printers.empty())
        m_printer->addItem(QStringLiteral("The default printer"), QString());
    m_printer->addItem(QStringLiteral("PDF file..."));
    const int found = chosen.isEmpty() ? 0 : m_printer->findData(chosen);
    m_printer->setCurrentIndex(toPdf ? m_printer->count() - 1 : std::max(found, 0));
}

template <typename Field>
Field* SettingsDialog::labelled(const char* name, const char* label, Field* field) {
    auto* caption = new QLabel(QString::fromLatin1(label), this);
    field->setObjectName(QString::fromLatin1(name));
    caption->setBuddy(field);
    field->setAccessibleName(caption->text()); // the field is named by its label
    m_grid->addWidget(caption, m_row, 0);
    m_grid->addWidget(field, m_row++, 1);
    return field;
}

QSpinBox* SettingsDialog::spin(const char* name, const char* label, int low, int high, int value) {
    auto* box = labelled(name, label, new QSpinBox(this));
    box->setRange(low, high);
    box->setValue(value);
    connect(box, &QSpinBox::valueChanged, this, &SettingsDialog::updateNote);
    return box;
}

QCheckBox* SettingsDialog::check(const char* name, const QString& text, bool on) {
    auto* box = new QCheckBox(text, this);
    box->setObjectName(QString::fromLatin1(name));
    box->setChecked(on);
    box->setAccessibleName(text);
    connect(box, &QCheckBox::toggled, this, &SettingsDialog::updateNote);
    return box;
}

void SettingsDialog::number(const char* name, const char* label, int high, const ProblemSettings& s,
                            int ProblemSettings::*field) {
    // Wider than the settings allow, so that a number too large is refused with a sentence
    // instead of being cut as it is typed.
    m_numbers.emplace_back(spin(name, label, 0, high * 10 + 9, s.*field), field);
}

QComboBox* SettingsDialog::choice(const char* name, const char* label, const QStringList& items,
                                  int index) {
    auto* box = labelled(name, label, new QComboBox(this));
    box->addItems(items);
    box->setCurrentIndex(index);
    return box;
}

QComboBox* SettingsDialog::formChoice(int operation, Form chosen) {
    const OperatorInfo& op = operators()[static_cast<std::size_t>(operation)];
    const std::string name = std::string("form") + kOperationNames[operation];
    const std::string label = std::string(kOperationNames[operation]) + " form:";
    QComboBox* box = choice(name.c_str(), label.c_str(), {}, 0);
    for (const FormInfo& form : forms())
        if (form.serves(op))
            box->addItem(fromUtf8(form.name), static_cast<int>(form.form));
    box->setCurrentIndex(std::max(0, box->findData(static_cast<int>(chosen))));
    m_forms.at(static_cast<std::size_t>(operation)) = box;
    return box;
}

QWidget* SettingsDialog::startPage() {
    auto* page = new QWidget(this);
    m_grid = new QGridLayout(page);
    m_row = 0;
    return page;
}

void SettingsDialog::buildProblems(const ClassSetRequest& opening) {
    const ProblemSettings& s = opening.settings;
    auto* operations = new QHBoxLayout;
    const bool chosen[] = {s.addition, s.subtraction, s.multiplication, s.division};
    for (std::size_t i = 0; i < m_operations.size(); ++i) {
        m_operations[i] =
            check(kOperationNames[i], QString::fromLatin1(kOperationNames[i]), chosen[i]);
        operations->addWidget(m_operations[i]);
    }
    m_grid->addWidget(new QLabel(QStringLiteral("Operations:"), this), m_row, 0);
    m_grid->addLayout(operations, m_row++, 1);
    m_carrying = choice("carrying", "Carrying / borrowing:",
                        {QStringLiteral("Any"), QStringLiteral("Never"), QStringLiteral("Always")},
                        static_cast<int>(s.carrying));
    const QStringList places = {QStringLiteral("None (whole numbers)"), QStringLiteral("1"),
                                QStringLiteral("2")};
    m_places = choice("places", "Decimal places (addition, subtraction):", places, s.places);

    QGridLayout* outer = m_grid;
    const int outerRow = m_row;
    auto* tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("operationTabs"));

    tabs->addTab(startPage(), QStringLiteral("Addition"));
    number("firstMin", "Smallest first number:", kLargestNumber, s, &ProblemSettings::firstMin);
    number("firstMax", "Largest first number:", kLargestNumber, s, &ProblemSettings::firstMax);
    number("secondMin", "Smallest second number:", kLargestNumber, s, &ProblemSettings::secondMin);
    number("secondMax", "Largest second number:", kLargestNumber, s, &ProblemSettings::secondMax);
    number("sumMin", "Smallest sum:", 2 * kLargestNumber, s, &ProblemSettings::sumMin);
    number("sumMax", "Largest sum:", 2 * kLargestNumber, s, &ProblemSettings::sumMax);
    formChoice(Add, s.forms[Add]);

    tabs->addTab(startPage(), QStringLiteral("Subtraction"));
    number("subFirstMin", "Smallest number to take from:", kLargestNumber, s,
           &ProblemSettings::subFirstMin);
    number("subFirstMax", "Largest number to take from:", kLargestNumber, s,
           &ProblemSettings::subFirstMax);
    number("subSecondMin", "Smallest number taken away:", kLargestNumber, s,
           &ProblemSettings::subSecondMin);
    number("subSecondMax", "Largest number taken away:", kLargestNumber, s,
           &ProblemSettings::subSecondMax);
    number("differenceMin", "Smallest difference:", kLargestNumber, s,
           &ProblemSettings::differenceMin);
    number("differenceMax", "Largest difference:", kLargestNumber, s,
           &ProblemSettings::differenceMax);
    formChoice(Subtract, s.forms[Subtract]);

    const auto numbers = [this](const char* label, const char* each, auto& boxes, int first,
                                const std::array<bool, 13>& on) {
        auto* row = new QHBoxLayout;
        row->setSpacing(2);
        for (int n = first; n <= 12; ++n) {
            const QString name = QString::fromLatin1(each) + QString::number(n);
            auto* box = check("", QString::number(n), on.at(static_cast<std::size_t>(n)));
            box->setObjectName(name);
            box->setAccessibleName(QString::fromLatin1(each) + QLatin1Char(' ') +
                                   QString::number(n)); // "Table 7", not a bare "7"
            boxes.at(static_cast<std::size_t>(n)) = box;
            row->addWidget(box);
        }
        m_grid->addWidget(new QLabel(QString::fromLatin1(label), this), m_row, 0);
        m_grid->addLayout(row, m_row++, 1);
    };
    tabs->addTab(startPage(), QStringLiteral("Multiplication"));
    m_useTables = check("useTables", QStringLiteral("Second factor from the tables"), s.useTables);
    m_grid->addWidget(m_useTables, m_row++, 1);
    numbers("Tables:", "Table", m_tables, 0, s.tables);
    number("secondFactorMin", "Smallest second factor:", kLargestSmallFactor, s,
           &ProblemSettings::secondFactorMin);
    number("secondFactorMax", "Largest second factor:", kLargestSmallFactor, s,
           &ProblemSettings::secondFactorMax);
    number("factorMin", "Smallest first factor:", kLargestNumber, s, &ProblemSettings::factorMin);
    number("factorMax", "Largest first factor:", kLargestNumber, s, &ProblemSettings::factorMax);
    m_factorPlaces =
        choice("factorPlaces", "Decimal places of the first factor:", places, s.factorPlaces);
    formChoice(Multiply, s.forms[Multiply]);

    tabs->addTab(startPage(), QStringLiteral("Division"));
    m_useDivisors =
        check("useDivisors", QStringLiteral("Divisor from the divisors chosen"), s.useDivisors);
    m_grid->addWidget(m_useDivisors, m_row++, 1);
    numbers("Divisors:", "Divisor", m_divisors, 1, s.divisors);
    number("divisorMin", "Smallest divisor:", kLargestSmallFactor, s, &ProblemSettings::divisorMin);
    number("divisorMax", "Largest divisor:", kLargestSmallFactor, s, &ProblemSettings::divisorMax);
    number("quotientMin", "Smallest quotient:", kLargestNumber, s, &ProblemSettings::quotientMin);
    number("quotientMax", "Largest quotient:", kLargestNumber, s, &ProblemSettings::quotientMax);
    number("dividendMin", "Smallest dividend:", kLargestNumber, s, &ProblemSettings::dividendMin);
    number("dividendMax", "Largest dividend:", kLargestNumber, s, &ProblemSettings::dividendMax);
    m_remainders =
        choice("remainders", "Remainders:",
               {QStringLiteral("None"), QStringLiteral("Allowed"), QStringLiteral("Always")},
               static_cast<int>(s.remainders));
    formChoice(Divide, s.forms[Divide]);
    m_note = new QLabel(this);
    m_note->setObjectName(QStringLiteral("quotientNote"));
    m_note->setWordWrap(true);
    m_grid->addWidget(m_note, m_row++, 1);

    tabs->addTab(startPage(), QStringLiteral("Page"));
    buildPage(opening);

    m_grid = outer;
    m_row = outerRow;
    m_grid->addWidget(tabs, m_row++, 0, 1, 2);
    m_blank = choice("blank", "Missing number:",
                     {QStringLiteral("The first number"), QStringLiteral("The second number"),
                      QStringLiteral("The answer"), QStringLiteral("Any of them")},
                     static_cast<int>(s.blank));
    m_leaveOut =
        check("leaveOut", QStringLiteral("Leave out problems with 0 or 1"), s.leaveOutZeroAndOne);
    m_grid->addWidget(m_leaveOut, m_row++, 1);
    m_noRepeats = check("noRepeats", QStringLiteral("No repeated problems"), s.noRepeats);
    m_grid->addWidget(m_noRepeats, m_row++, 1);
    for (QComboBox* box : {m_carrying, m_places, m_factorPlaces, m_remainders, m_blank})
        connect(box, &QComboBox::currentIndexChanged, this, &SettingsDialog::updateNote);
    // The quick choice or the range: only the one in use takes input.
    const auto pickOne = [this](QCheckBox* quick, const auto& boxes, const char* low,
                                const char* high) {
        const auto apply = [this, quick, boxes, low, high] {
            for (QCheckBox* box : boxes)
                if (box)
                    box->setEnabled(quick->isChecked());
            for (const char* name : {low, high})
                findChild<QSpinBox*>(QString::fromLatin1(name))->setEnabled(!quick->isChecked());
        };
        connect(quick, &QCheckBox::toggled, this, apply);
        apply();
    };
    pickOne(m_useTables, m_tables, "secondFactorMin", "secondFactorMax");
    pickOne(m_useDivisors, m_divisors, "divisorMin", "divisorMax");
}

void SettingsDialog::buildPresets() {
    auto* caption = new QLabel(QStringLiteral("Saved settings:"), this);
    m_preset = new QComboBox(this);
    m_preset->setObjectName(QStringLiteral("preset"));
    caption->setBuddy(m_preset);
    m_preset->setAccessibleName(caption->text());
    auto* row = new QHBoxLayout;
    row->addWidget(m_preset, 1);
    const auto button = [this, row](const char* name, const QString& text) {
        auto* pushed = new QPushButton(text, this);
        pushed->setObjectName(QString::fromLatin1(name));
        pushed->setAutoDefault(false); // Return stays OK's
        row->addWidget(pushed);
        return pushed;
    };
    m_savePreset = button("savePreset", QStringLiteral("Save As..."));
    m_renamePreset = button("renamePreset", QStringLiteral("Rename..."));
    m_deletePreset = button("deletePreset", QStringLiteral("Delete"));
    m_grid->addWidget(caption, m_row, 0);
    m_grid->addLayout(row, m_row++, 1);
    connect(m_preset, &QComboBox::activated, this,
            [this](int index) { choosePreset(index > 0 ? m_preset->itemText(index) : QString()); });
    connect(m_savePreset, &QPushButton::clicked, this, &SettingsDialog::savePresetAs);
    connect(m_renamePreset, &QPushButton::clicked, this, &SettingsDialog::renameChosenPreset);
    connect(m_deletePreset, &QPushButton::clicked, this, &SettingsDialog::deleteChosenPreset);
    listPresets({});
}

void SettingsDialog::setPresetFolder(const std::filesystem::path& folder) {
    m_presetFolder = folder;
    listPresets({});
}

void SettingsDialog::listPresets(const QString& chosen) {
    const bool on = !m_presetFolder.empty();
    m_preset->clear();
    m_preset->addItem(QStringLiteral("(none chosen)"));
    if (on)
        for (const std::string& name : presetNames(m_presetFolder))
            m_preset->addItem(fromUtf8(name));
    m_preset->setCurrentIndex(std::max(0, m_preset->findText(chosen)));
    m_preset->setEnabled(on);
    m_savePreset->setEnabled(on);
    m_renamePreset->setEnabled(on && m_preset->currentIndex() > 0);
    m_deletePreset->setEnabled(on && m_preset->currentIndex() > 0);
}

bool SettingsDialog::choosePreset(const QString& name) {
    listPresets(name);
    if (name.isEmpty())
        return true;
    std::string why;
    const std::optional<ClassSetRequest> preset =
        loadPreset(m_presetFolder, name.toStdString(), &why);
    if (!preset) {
        listPresets({});
        m_refusal->setText(QStringLiteral("The settings \"") + name +
                           QStringLiteral("\" cannot be used: ") + fromUtf8(why) +
                           QStringLiteral(". The file is left as it is."));
        return false;
    }
    fill(*preset);
    m_refusal->clear();
    return true;
}

void SettingsDialog::savePresetAs() {
    const QString chosen = m_preset->currentIndex() > 0 ? m_preset->currentText() : QString();
    const QString name = askName ? askName(chosen).trimmed() : QString();
    if (name.isEmpty())
        return;
    if (const auto problem = presetNameProblem(name.toStdString())) {
        m_refusal->setText(fromUtf8(*problem));
        return;
    }
    if (m_preset->findText(name) > 0 && name != chosen && askYesNo &&
        !askYesNo(QStringLiteral("Replace the settings \"") + name + QStringLiteral("\"?")))
        return;
    try {
        savePreset(m_presetFolder, name.toStdString(), request());
        m_refusal->clear();
    } catch (const std::exception& failure) {
        m_refusal->setText(QStringLiteral("The settings could not be saved: ") +
                           fromUtf8(describeFailure(failure)) + QStringLiteral("."));
    }
    listPresets(name);
}

void SettingsDialog::renameChosenPreset() {
    const QString chosen = m_preset->currentText();
    const QString name = askName ? askName(chosen).trimmed() : QString();
    if (name.isEmpty() || name == chosen)
        return;
    try {
        if (const auto problem = presetNameProblem(name.toStdString()))
            throw RuntimeError(ErrorNumber::PathFileAccessError, *problem);
        renamePreset(m_presetFolder, chosen.toStdString(), name.toStdString());
        m_refusal->clear();
        listPresets(name);
    } catch (const std::exception& failure) {
        m_refusal->setText(fromUtf8(describeFailure(failure)));
    }
}

void SettingsDialog::deleteChosenPreset() {
    const QString chosen = m_preset->currentText();
    if (askYesNo && !askYesNo(QStringLiteral("Delete the settings \"") + chosen +
                              QStringLiteral("\"? The settings in the dialog stay.")))
        return;
    try {
        deletePreset(m_presetFolder, chosen.toStdString());
        m_refusal->clear();
    } catch (const std::exception& failure) {
        m_refusal->setText(fromUtf8(describeFailure(failure)));
    }
    listPresets({});
}

void SettingsDialog::fill(const ClassSetRequest& r) {
    const ProblemSettings& s = r.settings;
    const bool chosen[] = {s.addition, s.subtraction, s.multiplication, s.division};
    for (std::size_t i = 0; i < m_operations.size(); ++i)
        m_operations.at(i)->setChecked(chosen[i]);
    for (const auto& [box, field] : m_numbers)
        box->setValue(s.*field);
    m_carrying->setCurrentIndex(static_cast<int>(s.carrying));
    m_places->setCurrentIndex(s.places);
    m_factorPlaces->setCurrentIndex(s.factorPlaces);
    for (std::size_t n = 0; n < s.tables.size(); ++n) {
        m_tables.at(n)->setChecked(s.tables.at(n));
        if (n > 0)
            m_divisors.at(n)->setChecked(s.divisors.at(n));
    }
    m_useTables->setChecked(s.useTables);
    m_useDivisors->setChecked(s.useDivisors);
    m_remainders->setCurrentIndex(static_cast<int>(s.remainders));
    for (std::size_t operation = 0; operation < m_forms.size(); ++operation)
        m_forms.at(operation)->setCurrentIndex(
            std::max(0, m_forms.at(operation)->findData(static_cast<int>(s.forms.at(operation)))));
    m_blank->setCurrentIndex(static_cast<int>(s.blank));
    m_leaveOut->setChecked(s.leaveOutZeroAndOne);
    m_noRepeats->setChecked(s.noRepeats);
    m_title->setText(fromUtf8(r.title));
    m_layout->setCurrentIndex(r.look.easy ? 0 : 1);
    m_bold->setChecked(r.look.chkBold == 1);
    m_bottomLine->setText(fromUtf8(r.look.txtAppend));
    m_size->setCurrentIndex(static_cast<int>(r.look.size));
    m_spread->setChecked(r.look.spread);
    m_numbered->setChecked(r.look.numbers);
    m_header->setChecked(r.look.header);
    m_instructions->setText(fromUtf8(r.look.instructions));
    m_numberPlace->setCurrentIndex(static_cast<int>(r.look.numberPlace));
    m_problems->setValue(r.problems);
    m_versions->setValue(r.versions);
    m_copies->setValue(r.copies);
    m_keys->setCurrentIndex(static_cast<int>(r.keys));
    if (const int printer = m_printer->findData(fromUtf8(r.printer)); printer >= 0)
        m_printer->setCurrentIndex(printer);
    m_openingPrinter = r.printer;
    updateNote();
}

QLineEdit* SettingsDialog::line(const char* name, const char* label, const std::string& text) {
    return labelled(name, label, new QLineEdit(fromUtf8(text), this));
}

// The page, as the main window gives it (title, layout, Bold, bottom line) and as only sheets made
// here have it.
void SettingsDialog::buildPage(const ClassSetRequest& opening) {
    const PageLook& look = opening.look;
    m_title = line("title", "Title:", opening.title);
    m_layout = choice("layout",
                      "Layout:", {QStringLiteral("Easy Reading"), QStringLiteral("Compact Test")},
                      look.easy ? 0 : 1);
    m_bold = check("bold", QStringLiteral("Bold"), look.chkBold == 1);
    m_grid->addWidget(m_bold, m_row++, 1);
    m_bottomLine = line("bottomLine", "Bottom line:", look.txtAppend);
    m_size =
        choice("printSize", "Print size:",
               {QStringLiteral("Normal"), QStringLiteral("Large"), QStringLiteral("Extra large")},
               static_cast<int>(look.size));
    m_spread = check("spread", QStringLiteral("Spread the problems over the page"), look.spread);
    m_grid->addWidget(m_spread, m_row++, 1);
    m_numbered = check("numbers", QStringLiteral("Number the problems"), look.numbers);
    m_grid->addWidget(m_numbered, m_row++, 1);
    m_header = check("header", QStringLiteral("Name, Date and Score at the top"), look.header);
    m_grid->addWidget(m_header, m_row++, 1);
    m_instructions = line("instructions", "Instructions:", look.instructions);
    m_numberPlace =
        choice("numberPlace", "Worksheet number:",
               {QStringLiteral("In the title, for (N)"), QStringLiteral("Small, in a corner")},
               static_cast<int>(look.numberPlace));
}

void SettingsDialog::buildSet(const ClassSetRequest& opening) {
    // Wider than the checks allow, so that the window's own texts say what is wrong.
    m_problems = spin("problems", "Number of problems:", 0, 999, opening.problems);
    m_versions = spin("versions", "Versions:", 0, 999, opening.versions);
    m_copies = spin("copies", "Copies of each:", 0, 999, opening.copies);

    m_keys = choice("keys", "Answer keys:", {}, 0);
    for (const char* keys : kKeys)
        m_keys->addItem(QString::fromLatin1(keys));
    m_keys->setCurrentIndex(static_cast<int>(opening.keys));

    m_printer = choice("printer", "Printer:", {}, 0);
}

void SettingsDialog::updateNote() {
    m_note->setText(fromUtf8(QuotientCutNote(request().settings)));
}

ClassSetRequest SettingsDialog::request() const {
    ClassSetRequest r;
    ProblemSettings& s = r.settings;
    s.addition = m_operations[0]->isChecked();
    s.subtraction = m_operations[1]->isChecked();
    s.multiplication = m_operations[2]->isChecked();
    s.division = m_operations[3]->isChecked();
    for (const auto& [box, field] : m_numbers)
        s.*field = box->value();
    s.carrying = static_cast<Carrying>(m_carrying->currentIndex());
    s.places = m_places->currentIndex();
    s.factorPlaces = m_factorPlaces->currentIndex();
    for (std::size_t n = 0; n < s.tables.size(); ++n) {
        s.tables.at(n) = m_tables.at(n)->isChecked();
        s.divisors.at(n) = n > 0 && m_divisors.at(n)->isChecked();
    }
    s.useTables = m_useTables->isChecked();
    s.useDivisors = m_useDivisors->isChecked();
    s.remainders = static_cast<Remainders>(m_remainders->currentIndex());
    for (std::size_t operation = 0; operation < m_forms.size(); ++operation)
        s.forms.at(operation) = static_cast<Form>(m_forms.at(operation)->currentData().toInt());
    s.blank = static_cast<MissingBlank>(m_blank->currentIndex());
    s.leaveOutZeroAndOne = m_leaveOut->isChecked();
    s.noRepeats = m_noRepeats->isChecked();
    r.title = m_title->text().toStdString();
    r.look.easy = m_layout->currentIndex() == 0;
    r.look.chkBold = m_bold->isChecked() ? 1 : 0;
    r.look.txtAppend = m_bottomLine->text().toStdString();
    r.look.size = static_cast<PrintSize>(m_size->currentIndex());
    r.look.spread = m_spread->isChecked();
    r.look.numbers = m_numbered->isChecked();
    r.look.header = m_header->isChecked();
    r.look.instructions = m_instructions->text().toStdString();
    r.look.numberPlace = static_cast<NumberPlace>(m_numberPlace->currentIndex());
    r.problems = m_problems->value();
    r.versions = m_versions->value();
    r.copies = m_copies->value();
    r.keys = static_cast<AnswerKeys>(m_keys->currentIndex());
    if (m_printer->currentIndex() == m_printer->count() - 1)
        r.pdfPath = m_pdfPath;
    else
        r.printer = m_printer->currentData().toString().toStdString();
    return r;
}

QString SettingsDialog::refusal() const {
    return m_refusal->text();
}

std::optional<std::string> SettingsDialog::unreadableField() const {
    // A field left blank, or holding what is no number of its range, shows no value: OK never
    // uses the one it last had instead.
    for (QSpinBox* box : findChildren<QSpinBox*>()) {
        if (box->hasAcceptableInput())
            continue;
        box->setFocus();
        box->selectAll();
        QString name = box->accessibleName();
        if (name.endsWith(QLatin1Char(':')))
            name.chop(1);
        return "Type a whole number from " + std::to_string(box->minimum()) + " to " +
               std::to_string(box->maximum()) + " in \"" + name.toStdString() + "\".";
    }
    return std::nullopt;
}

bool SettingsDialog::tryAccept() {
    const ClassSetRequest r = request();
    std::optional<std::string> refused = unreadableField();
    if (!refused)
        refused = CheckSettings(r.settings);
    if (!refused)
        refused = CheckClassSet(r, false); // a laid-out page takes any number of problems
    m_refusal->setText(refused ? fromUtf8(*refused) : QString());
    if (refused)
        return false;
    if (const auto few = TooFewDifferentProblems(r.settings, r.problems);
        few && askYesNo && !askYesNo(fromUtf8(*few)))
        return false;
    if (m_printer->currentIndex() == m_printer->count() - 1) { // "PDF file..."
        const QString path = askPdfPath ? askPdfPath() : QString();
        if (path.isEmpty())
            return false;
        m_pdfPath = path.toStdString();
    }
    accept();
    return true;
}

} // namespace sbk3
