#include "app/SettingsDialog.h"

#include "app/Application.h"
#include "app/PrinterQuery.h"
#include "app/ScreenFit.h"
#include "common/FileExists.h"
#include "common/ProblemKinds.h"
#include "common/RuntimeError.h"
#include "print/QtText.h"
#include "worksheet/Preset.h"

#include <QAccessible>
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
#include <QScrollArea>
#include <QSpinBox>
#include <QStandardPaths>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>

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
    // The settings scroll where the screen is too small for them (a large scale or font); the
    // refusal and OK and Cancel stay in sight below them.
    auto* fields = new QWidget(this);
    m_grid = new QGridLayout(fields);
    buildPresets();
    buildProblems();
    buildSet();
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("settingsScroll"));
    scroll->setWidget(fields);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setFocusPolicy(Qt::NoFocus); // Tab goes from field to field, never to the frame
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);

    m_refusal = new QLabel(this);
    m_refusal->setObjectName(QStringLiteral("refusal"));
    m_refusal->setWordWrap(true);
    m_refusal->setStyleSheet(QStringLiteral("color: #a00000"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true); // Return presses OK
    auto* outer = new QVBoxLayout(this);
    outer->addWidget(scroll, 1);
    outer->addWidget(m_refusal);
    outer->addWidget(buttons);
    // As large as the fields ask, within the screen.
    const QSize fieldsWant = fields->sizeHint();
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    fitOnScreen(this, QSize(fieldsWant.width() + scrollBar + 2 * outer->contentsMargins().left(),
                            fieldsWant.height() + buttons->sizeHint().height() +
                                outer->contentsMargins().top() * 3 + outer->spacing() * 2));
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
        const QString documents = fromUtf8(pathToUtf8(documentsFolder()));
        return QFileDialog::getSaveFileName(this, windowTitle(),
                                            documents + QStringLiteral("/worksheets.pdf"),
                                            QStringLiteral("PDF files (*.pdf)"));
    };
    fill(opening);
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

template <typename Widget>
Widget* SettingsDialog::labelled(const char* name, const char* label, Widget* field) {
    auto* caption = new QLabel(QString::fromLatin1(label), this);
    field->setObjectName(QString::fromLatin1(name));
    caption->setBuddy(field);
    field->setAccessibleName(caption->text()); // the field is named by its label
    m_grid->addWidget(caption, m_row, 0);
    m_grid->addWidget(field, m_row++, 1);
    return field;
}

template <typename Widget, typename Member>
Widget* SettingsDialog::bind(Widget* widget, Member member) {
    // The member as the request holds it: a flag, a number, a text or a choice's index.
    using Value = std::remove_cvref_t<decltype(member(std::declval<ClassSetRequest&>()))>;
    Field field;
    if constexpr (std::is_same_v<Widget, QCheckBox>) {
        // Bold is kept as 0 or 1, as the main window's check box gives it.
        field.show = [widget, member](const ClassSetRequest& r) {
            widget->setChecked(member(r) == Value{1});
        };
        field.read = [widget, member](ClassSetRequest& r) {
            member(r) = static_cast<Value>(widget->isChecked());
        };
    } else if constexpr (std::is_same_v<Widget, QSpinBox>) {
        field.show = [widget, member](const ClassSetRequest& r) { widget->setValue(member(r)); };
        field.read = [widget, member](ClassSetRequest& r) { member(r) = widget->value(); };
    } else if constexpr (std::is_same_v<Widget, QLineEdit>) {
        field.show = [widget, member](const ClassSetRequest& r) {
            widget->setText(fromUtf8(member(r)));
        };
        field.read = [widget, member](ClassSetRequest& r) {
            member(r) = widget->text().toStdString();
        };
    } else if constexpr (std::is_same_v<Value, bool>) {
        // A choice of two, the first of which is true: the layout.
        field.show = [widget, member](const ClassSetRequest& r) {
            widget->setCurrentIndex(member(r) ? 0 : 1);
        };
        field.read = [widget, member](ClassSetRequest& r) {
            member(r) = widget->currentIndex() == 0;
        };
    } else {
        // A choice whose items carry their values (the forms), or whose index is the value.
        field.show = [widget, member](const ClassSetRequest& r) {
            const int value = static_cast<int>(member(r));
            const int found = widget->findData(value);
            widget->setCurrentIndex(found >= 0 ? found : std::max(0, value));
        };
        field.read = [widget, member](ClassSetRequest& r) {
            const QVariant carried = widget->currentData();
            member(r) =
                static_cast<Value>(carried.isValid() ? carried.toInt() : widget->currentIndex());
        };
    }
    m_fields.push_back(std::move(field));
    return widget;
}

QSpinBox* SettingsDialog::spin(const char* name, const char* label, int low, int high) {
    auto* box = labelled(name, label, new QSpinBox(this));
    box->setRange(low, high);
    connect(box, &QSpinBox::valueChanged, this, &SettingsDialog::updateNote);
    return box;
}

QCheckBox* SettingsDialog::check(const char* name, const QString& text) {
    auto* box = new QCheckBox(text, this);
    box->setObjectName(QString::fromLatin1(name));
    box->setAccessibleName(text);
    connect(box, &QCheckBox::toggled, this, &SettingsDialog::updateNote);
    return box;
}

template <typename Member>
void SettingsDialog::number(const char* name, const char* label, int high, Member member) {
    // Wider than the settings allow, so that a number too large is refused with a sentence
    // instead of being cut as it is typed.
    bind(spin(name, label, 0, high * 10 + 9), member);
}

QComboBox* SettingsDialog::choice(const char* name, const char* label, const QStringList& items) {
    auto* box = labelled(name, label, new QComboBox(this));
    box->addItems(items);
    connect(box, &QComboBox::currentIndexChanged, this, &SettingsDialog::updateNote);
    return box;
}

void SettingsDialog::formChoice(int operation) {
    const auto k = static_cast<std::size_t>(operation);
    const OperatorInfo& op = operators()[k];
    const std::string name = std::string("form") + kOperationNames[operation];
    const std::string label = std::string(kOperationNames[operation]) + " form:";
    QComboBox* box = choice(name.c_str(), label.c_str(), {});
    for (const FormInfo& form : forms())
        if (form.serves(op))
            box->addItem(fromUtf8(form.name), static_cast<int>(form.form));
    bind(
        box, [k](auto& r) -> auto& { return r.settings.forms.at(k); });
}

QWidget* SettingsDialog::startPage() {
    auto* page = new QWidget(this);
    m_grid = new QGridLayout(page);
    m_row = 0;
    return page;
}

// Each setting is declared once, here: its widget, bound to the member of the request it shows
// and sets. fill and request go through the bindings alone.
// clang-format off
#define SBK3_MEMBER(path) ([](auto& r) -> auto& { return r.path; })
// clang-format on

void SettingsDialog::buildProblems() {
    auto* operations = new QHBoxLayout;
    for (std::size_t i = 0; i < m_operations.size(); ++i) {
        m_operations[i] = bind(
            check(kOperationNames[i], QString::fromLatin1(kOperationNames[i])),
            [i](auto& r) -> auto& {
                auto& s = r.settings;
                return i == 0   ? s.addition
                       : i == 1 ? s.subtraction
                       : i == 2 ? s.multiplication
                                : s.division;
            });
        operations->addWidget(m_operations[i]);
    }
    m_grid->addWidget(new QLabel(QStringLiteral("Operations:"), this), m_row, 0);
    m_grid->addLayout(operations, m_row++, 1);
    bind(choice("carrying", "Carrying / borrowing:",
                {QStringLiteral("Any"), QStringLiteral("Never"), QStringLiteral("Always")}),
         SBK3_MEMBER(settings.carrying));
    const QStringList places = {QStringLiteral("None (whole numbers)"), QStringLiteral("1"),
                                QStringLiteral("2")};
    bind(choice("places", "Decimal places (addition, subtraction):", places),
         SBK3_MEMBER(settings.places));

    QGridLayout* outer = m_grid;
    const int outerRow = m_row;
    auto* tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("operationTabs"));

    tabs->addTab(startPage(), QStringLiteral("Addition"));
    number("firstMin", "Smallest first number:", kLargestNumber, SBK3_MEMBER(settings.firstMin));
    number("firstMax", "Largest first number:", kLargestNumber, SBK3_MEMBER(settings.firstMax));
    number("secondMin", "Smallest second number:", kLargestNumber, SBK3_MEMBER(settings.secondMin));
    number("secondMax", "Largest second number:", kLargestNumber, SBK3_MEMBER(settings.secondMax));
    number("sumMin", "Smallest sum:", 2 * kLargestNumber, SBK3_MEMBER(settings.sumMin));
    number("sumMax", "Largest sum:", 2 * kLargestNumber, SBK3_MEMBER(settings.sumMax));
    formChoice(Add);

    tabs->addTab(startPage(), QStringLiteral("Subtraction"));
    number("subFirstMin", "Smallest number to take from:", kLargestNumber,
           SBK3_MEMBER(settings.subFirstMin));
    number("subFirstMax", "Largest number to take from:", kLargestNumber,
           SBK3_MEMBER(settings.subFirstMax));
    number("subSecondMin", "Smallest number taken away:", kLargestNumber,
           SBK3_MEMBER(settings.subSecondMin));
    number("subSecondMax", "Largest number taken away:", kLargestNumber,
           SBK3_MEMBER(settings.subSecondMax));
    number("differenceMin", "Smallest difference:", kLargestNumber,
           SBK3_MEMBER(settings.differenceMin));
    number("differenceMax", "Largest difference:", kLargestNumber,
           SBK3_MEMBER(settings.differenceMax));
    formChoice(Subtract);

    // A row of numbers to choose, each bound to its entry of the list of flags.
    const auto numbers = [this](const char* label, const char* each, auto& boxes, int first,
                                auto list) {
        auto* row = new QHBoxLayout;
        row->setSpacing(2);
        for (int n = first; n <= 12; ++n) {
            const auto k = static_cast<std::size_t>(n);
            auto* box = bind(
                check("", QString::number(n)),
                [ list, k ](auto& r) -> auto& { return list(r).at(k); });
            box->setObjectName(QString::fromLatin1(each) + QString::number(n));
            box->setAccessibleName(QString::fromLatin1(each) + QLatin1Char(' ') +
                                   QString::number(n)); // "Table 7", not a bare "7"
            boxes.at(k) = box;
            row->addWidget(box);
        }
        m_grid->addWidget(new QLabel(QString::fromLatin1(label), this), m_row, 0);
        m_grid->addLayout(row, m_row++, 1);
    };
    tabs->addTab(startPage(), QStringLiteral("Multiplication"));
    m_useTables = bind(check("useTables", QStringLiteral("Second factor from the tables")),
                       SBK3_MEMBER(settings.useTables));
    m_grid->addWidget(m_useTables, m_row++, 1);
    numbers("Tables:", "Table", m_tables, 0, SBK3_MEMBER(settings.tables));
    number("secondFactorMin", "Smallest second factor:", kLargestSmallFactor,
           SBK3_MEMBER(settings.secondFactorMin));
    number("secondFactorMax", "Largest second factor:", kLargestSmallFactor,
           SBK3_MEMBER(settings.secondFactorMax));
    number("factorMin", "Smallest first factor:", kLargestNumber, SBK3_MEMBER(settings.factorMin));
    number("factorMax", "Largest first factor:", kLargestNumber, SBK3_MEMBER(settings.factorMax));
    bind(choice("factorPlaces", "Decimal places of the first factor:", places),
         SBK3_MEMBER(settings.factorPlaces));
    formChoice(Multiply);

    tabs->addTab(startPage(), QStringLiteral("Division"));
    m_useDivisors = bind(check("useDivisors", QStringLiteral("Divisor from the divisors chosen")),
                         SBK3_MEMBER(settings.useDivisors));
    m_grid->addWidget(m_useDivisors, m_row++, 1);
    numbers("Divisors:", "Divisor", m_divisors, 1, SBK3_MEMBER(settings.divisors));
    number("divisorMin", "Smallest divisor:", kLargestSmallFactor,
           SBK3_MEMBER(settings.divisorMin));
    number("divisorMax", "Largest divisor:", kLargestSmallFactor, SBK3_MEMBER(settings.divisorMax));
    number("quotientMin", "Smallest quotient:", kLargestNumber, SBK3_MEMBER(settings.quotientMin));
    number("quotientMax", "Largest quotient:", kLargestNumber, SBK3_MEMBER(settings.quotientMax));
    number("dividendMin", "Smallest dividend:", kLargestNumber, SBK3_MEMBER(settings.dividendMin));
    number("dividendMax", "Largest dividend:", kLargestNumber, SBK3_MEMBER(settings.dividendMax));
    bind(choice("remainders", "Remainders:",
                {QStringLiteral("None"), QStringLiteral("Allowed"), QStringLiteral("Always")}),
         SBK3_MEMBER(settings.remainders));
    formChoice(Divide);
    m_note = new QLabel(this);
    m_note->setObjectName(QStringLiteral("quotientNote"));
    m_note->setWordWrap(true);
    m_grid->addWidget(m_note, m_row++, 1);

    tabs->addTab(startPage(), QStringLiteral("Page"));
    buildPage();

    m_grid = outer;
    m_row = outerRow;
    m_grid->addWidget(tabs, m_row++, 0, 1, 2);
    bind(choice("blank", "Missing number:",
                {QStringLiteral("The first number"), QStringLiteral("The second number"),
                 QStringLiteral("The answer"), QStringLiteral("Any of them")}),
         SBK3_MEMBER(settings.blank));
    m_grid->addWidget(bind(check("leaveOut", QStringLiteral("Leave out problems with 0 or 1")),
                           SBK3_MEMBER(settings.leaveOutZeroAndOne)),
                      m_row++, 1);
    m_grid->addWidget(bind(check("noRepeats", QStringLiteral("No repeated problems")),
                           SBK3_MEMBER(settings.noRepeats)),
                      m_row++, 1);
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
    m_savePreset = button("savePreset", QStringLiteral("&Save As..."));
    m_renamePreset = button("renamePreset", QStringLiteral("Re&name..."));
    m_deletePreset = button("deletePreset", QStringLiteral("De&lete"));
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
        refuse(QStringLiteral("The settings \"") + name + QStringLiteral("\" cannot be used: ") +
               fromUtf8(why) + QStringLiteral(". The file is left as it is."));
        return false;
    }
    fill(*preset);
    refuse({});
    return true;
}

void SettingsDialog::savePresetAs() {
    const QString chosen = m_preset->currentIndex() > 0 ? m_preset->currentText() : QString();
    const QString name = askName ? askName(chosen).trimmed() : QString();
    if (name.isEmpty())
        return;
    if (const auto problem = presetNameProblem(name.toStdString())) {
        refuse(fromUtf8(*problem));
        return;
    }
    if (m_preset->findText(name) > 0 && name != chosen && askYesNo &&
        !askYesNo(QStringLiteral("Replace the settings \"") + name + QStringLiteral("\"?")))
        return;
    try {
        savePreset(m_presetFolder, name.toStdString(), request());
        refuse({});
    } catch (const std::exception& failure) {
        refuse(QStringLiteral("The settings could not be saved: ") +
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
        refuse({});
        listPresets(name);
    } catch (const std::exception& failure) {
        refuse(fromUtf8(describeFailure(failure)));
    }
}

void SettingsDialog::deleteChosenPreset() {
    const QString chosen = m_preset->currentText();
    if (askYesNo && !askYesNo(QStringLiteral("Delete the settings \"") + chosen +
                              QStringLiteral("\"? The settings in the dialog stay.")))
        return;
    try {
        deletePreset(m_presetFolder, chosen.toStdString());
        refuse({});
    } catch (const std::exception& failure) {
        refuse(fromUtf8(describeFailure(failure)));
    }
    listPresets({});
}

void SettingsDialog::fill(const ClassSetRequest& r) {
    for (const Field& field : m_fields)
        field.show(r);
    if (const int printer = m_printer->findData(fromUtf8(r.printer)); printer >= 0)
        m_printer->setCurrentIndex(printer);
    m_openingPrinter = r.printer;
    updateNote();
}

QLineEdit* SettingsDialog::line(const char* name, const char* label) {
    return labelled(name, label, new QLineEdit(this));
}

// The page, as the main window gives it (title, layout, Bold, bottom line) and as only sheets made
// here have it.
void SettingsDialog::buildPage() {
    bind(line("title", "Title:"), SBK3_MEMBER(title));
    bind(choice("layout",
                "Layout:", {QStringLiteral("Easy Reading"), QStringLiteral("Compact Test")}),
         SBK3_MEMBER(look.easy));
    m_grid->addWidget(bind(check("bold", QStringLiteral("Bold")), SBK3_MEMBER(look.chkBold)),
                      m_row++, 1);
    bind(line("bottomLine", "Bottom line:"), SBK3_MEMBER(look.txtAppend));
    bind(choice("printSize", "Print size:",
                {QStringLiteral("Normal"), QStringLiteral("Large"), QStringLiteral("Extra large")}),
         SBK3_MEMBER(look.size));
    m_grid->addWidget(bind(check("spread", QStringLiteral("Spread the problems over the page")),
                           SBK3_MEMBER(look.spread)),
                      m_row++, 1);
    m_grid->addWidget(
        bind(check("numbers", QStringLiteral("Number the problems")), SBK3_MEMBER(look.numbers)),
        m_row++, 1);
    m_grid->addWidget(bind(check("header", QStringLiteral("Name, Date and Score at the top")),
                           SBK3_MEMBER(look.header)),
                      m_row++, 1);
    bind(line("instructions", "Instructions:"), SBK3_MEMBER(look.instructions));
    bind(choice("numberPlace", "Worksheet number:",
                {QStringLiteral("In the title, for (N)"), QStringLiteral("Small, in a corner")}),
         SBK3_MEMBER(look.numberPlace));
}

void SettingsDialog::buildSet() {
    // Wider than the checks allow, so that the window's own texts say what is wrong.
    bind(spin("problems", "Number of problems:", 0, 999), SBK3_MEMBER(problems));
    bind(spin("versions", "Versions:", 0, 999), SBK3_MEMBER(versions));
    bind(spin("copies", "Copies of each:", 0, 999), SBK3_MEMBER(copies));
    QComboBox* keys = choice("keys", "Answer keys:", {});
    for (const char* each : kKeys)
        keys->addItem(QString::fromLatin1(each));
    bind(keys, SBK3_MEMBER(keys));
    m_printer = choice("printer", "Printer:", {});
}

#undef SBK3_MEMBER

void SettingsDialog::updateNote() {
    if (!m_printer)
        return; // still being built: fill shows the note
    m_note->setText(fromUtf8(QuotientCutNote(request().settings)));
}

ClassSetRequest SettingsDialog::request() const {
    ClassSetRequest r;
    for (const Field& field : m_fields)
        field.read(r);
    if (m_printer->currentIndex() == m_printer->count() - 1)
        r.pdfPath = m_pdfPath;
    else
        r.printer = m_printer->currentData().toString().toStdString();
    return r;
}

QString SettingsDialog::refusal() const {
    return m_refusal->text();
}

void SettingsDialog::refuse(const QString& text, QWidget* field) {
    m_refusal->setText(text);
    m_refusal->setAccessibleName(text);
    // A refusal is read out: the field it is about takes the keyboard and says it after its
    // own name, or else the sentence itself does; and it is sent as an alert.
    for (QSpinBox* box : findChildren<QSpinBox*>())
        box->setAccessibleDescription(QString());
    m_refusal->setFocusPolicy(text.isEmpty() ? Qt::NoFocus : Qt::StrongFocus);
    if (text.isEmpty())
        return;
    if (field) {
        field->setAccessibleDescription(text);
        field->setFocus();
    } else {
        m_refusal->setFocus();
    }
    QAccessibleEvent alert(m_refusal, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}

std::optional<std::string> SettingsDialog::unreadableField(QWidget** at) const {
    // A field left blank, or holding what is no number of its range, shows no value: OK never
    // uses the one it last had instead.
    for (QSpinBox* box : findChildren<QSpinBox*>()) {
        if (box->hasAcceptableInput())
            continue;
        *at = box;
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
    QWidget* field = nullptr;
    std::optional<std::string> refused = unreadableField(&field);
    if (!refused)
        refused = CheckSettings(r.settings);
    if (!refused)
        refused = CheckClassSet(r, false); // a laid-out page takes any number of problems
    refuse(refused ? fromUtf8(*refused) : QString(), field);
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
