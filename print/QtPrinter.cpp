#include "print/QtPrinter.h"

#include "common/FileExists.h"
#include "common/RuntimeError.h"
#include "print/Surface.h"

#include <QFont>
#include <QFontMetricsF>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include <system_error>

namespace sbk3 {
namespace {

QString toQString(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

struct QtPrinter::Impl {
    std::filesystem::path folder;
    std::unique_ptr<QPrinter> printer;
    bool toFile = false;
    QPainter painter;
    bool active = false;
    int fontSize = 12;
    bool bold = false;
    float x = 0.0f;
    float y = 0.0f;
    std::string jobName;
    std::filesystem::path documentFile;
    std::string lastOutput;

    QPrinter& device() {
        if (!printer) {
            printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
            printer->setCreator(QStringLiteral("Sumbrook 3"));
            const QPrinterInfo system = QPrinterInfo::defaultPrinter();
            toFile = system.isNull();
            if (!toFile) {
                // The printer's own paper; left alone, Qt takes the locale's instead.
                printer->setPrinterName(system.printerName());
                printer->setPageSize(system.defaultPageSize());
            } else {
                // Without a system printer a default QPrinter silently becomes a PDF printer
                // with no file; give it Letter paper and narrow margins so the widest grid fits.
                printer->setOutputFormat(QPrinter::PdfFormat);
                printer->setPageLayout(
                    QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait,
                                QMarginsF(0.1, 0.25, 0.1, 0.25), QPageLayout::Inch));
            }
        }
        return *printer;
    }

    double unitX() { return device().resolution() / 12.0; }
    double unitY() { return device().resolution() / 6.0; }

    QFont printerFont() const {
        QFont font(QStringLiteral("Arial"));
        font.setPointSize(fontSize);
        font.setBold(bold);
        return font;
    }

    void begin() {
        if (active)
            return;
        QPrinter& p = device();
        const std::string name = jobName.empty() ? std::string("Sumbrook 3") : jobName;
        p.setDocName(toQString(name));
        if (toFile) {
            documentFile = folder / pathFromUtf8(name + ".pdf");
            p.setOutputFileName(toQString(pathToUtf8(documentFile)));
        }
        lastOutput.clear();
        if (!painter.begin(&p))
            throw RuntimeError::printerError();
        active = true;
    }
};

QtPrinter::QtPrinter(std::filesystem::path pdfFolder) : d(std::make_unique<Impl>()) {
    d->folder = std::move(pdfFolder);
}

QtPrinter::~QtPrinter() {
    killDoc();
}

void QtPrinter::setCharacterScale() {
    // Every position this adapter takes is in character units already; nothing to set up, and
    // nothing here may fail on a machine without a printer.
}

void QtPrinter::setFontSize(int points) {
    d->fontSize = points;
}
void QtPrinter::setFontBold(bool bold) {
    d->bold = bold;
}
float QtPrinter::currentX() const {
    return d->x;
}
float QtPrinter::currentY() const {
    return d->y;
}
void QtPrinter::setCurrentX(float x) {
    d->x = x;
}
void QtPrinter::setCurrentY(float y) {
    d->y = y;
}

float QtPrinter::scaleHeight() {
    QPrinter& p = d->device();
    const QRect paint = p.pageLayout().paintRectPixels(p.resolution());
    return static_cast<float>(paint.height() / d->unitY());
}

void QtPrinter::printLine(const std::string& text) {
    d->begin();
    const QFont font = d->printerFont();
    d->painter.setFont(font);
    const QFontMetricsF metrics(font, &d->device());
    const double top = d->y * d->unitY();
    d->painter.drawText(QPointF(d->x * d->unitX(), top + metrics.ascent()), toQString(text));
    d->x = 0.0f;
    d->y += static_cast<float>(metrics.height() / d->unitY());
}

void QtPrinter::paintPicture(const SurfacePicture& picture, float x, float y) {
    d->begin();
    // Drawn as text straight onto the page, so digits stay crisp and searchable at any resolution.
    QFont font(toQString(picture.fontName));
    font.setPointSize(picture.fontPoints);
    const QFontMetricsF metrics(font, &d->device());
    const QPointF origin(x * d->unitX(), y * d->unitY());
    double top = origin.y();
    for (const SurfaceLine& line : picture.lines) {
        font.setBold(line.bold);
        font.setUnderline(line.underline);
        d->painter.setFont(font);
        d->painter.drawText(QPointF(origin.x(), top + metrics.ascent()), toQString(line.text));
        top += metrics.height();
    }
}

void QtPrinter::endDoc() {
    if (!d->active)
        return;
    d->active = false;
    d->x = d->y = 0.0f;
    if (!d->painter.end())
        throw RuntimeError::printerError();
    d->lastOutput = d->toFile ? pathToUtf8(d->documentFile) : std::string();
}

void QtPrinter::killDoc() {
    if (!d->active)
        return;
    d->active = false;
    d->x = d->y = 0.0f;
    if (!d->toFile)
        d->printer->abort();
    d->painter.end();
    if (d->toFile) {
        std::error_code ignored;
        std::filesystem::remove(d->documentFile, ignored);
    }
}

void QtPrinter::setJobName(const std::string& name) {
    d->jobName = name;
}

std::string QtPrinter::outputFile() const {
    return d->lastOutput;
}

bool QtPrinter::printsToFile() {
    d->device();
    return d->toFile;
}

} // namespace sbk3
