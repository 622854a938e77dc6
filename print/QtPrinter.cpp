#include "print/QtPrinter.h"

#include "common/ProblemForms.h"

#include "common/AppInfo.h"
#include "common/FileExists.h"
#include "common/NativeFile.h"
#include "common/RuntimeError.h"
#include "print/Page.h"
#include "print/QtText.h"
#include "print/Surface.h"
#include "print/SystemPrinter.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QLocale>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QVarLengthArray>

#include <algorithm>
#include <array>
#include <bitset>
#include <limits>
#include <optional>
#include <string_view>

namespace sbk3 {
namespace {

// What a problem's lines are made of, whatever its form: digits, blanks, the separators, the
// operators, each form's own characters.
const QString& problemCharacters() {
    static const QString characters = fromUtf8(pictureCharacters());
    return characters;
}

// The paper of the user's locale, Letter where it measures in US units and A4 elsewhere, with
// margins any printer can keep.
QPageLayout localePaper() {
    const bool us = QLocale().measurementSystem() == QLocale::ImperialUSSystem;
    return QPageLayout(QPageSize(us ? QPageSize::Letter : QPageSize::A4), QPageLayout::Portrait,
                       QMarginsF(0.25, 0.25, 0.25, 0.25), QPageLayout::Inch);
}

QPageLayout paperOf(const SystemPrinter& printer) {
    if (!printer.paper)
        return localePaper();
    const SystemPrinter::Paper& p = *printer.paper;
    QPageLayout layout(QPageSize(QSizeF(p.width, p.height), QPageSize::Point),
                       QPageLayout::Portrait, QMarginsF(), QPageLayout::Point);
    layout.setMargins(QMarginsF(p.left, p.top, p.right, p.bottom));
    return layout;
}

// A PDF file chosen by name replaces only an earlier PDF: a worksheet of that name (even one the
// same command has just stored), or any other file, is never overwritten by a page. A link there
// is replaced itself, never written through, so it is no concern here.
void refuseToReplaceAnythingButAPdf(const std::filesystem::path& target) {
    std::string head(5, '\0');
    try {
        NativeFile existing = NativeFile::openForReading(target);
        if (!existing.info().regular)
            return; // a FIFO or such: its entry is replaced, nothing in it is lost
        head.resize(existing.read(head.data(), head.size()));
    } catch (const RuntimeError& error) {
        if (error.code() == ErrorNumber::FileNotFound || error.code() == ErrorNumber::BadFileMode)
            return;
        throw;
    }
    if (head != "%PDF-")
        throw RuntimeError(ErrorNumber::PermissionDenied,
                           pathToUtf8(target.filename()) +
                               " is not a PDF file, so it was not replaced");
}

} // namespace

bool isCompletePdf(const QByteArray& bytes) {
    return bytes.startsWith("%PDF-") && bytes.lastIndexOf("%%EOF") > bytes.size() - 16;
}

struct QtPrinter::Impl {
    std::filesystem::path folder;
    std::filesystem::path pdfTarget; // the next document goes there, not to the printer
    std::string printerName;         // the next document goes to this printer, not the default

    // The document under way: where it goes and what it is drawn on.
    bool prepared = false;
    bool active = false;
    std::optional<SystemPrinter> system;
    std::unique_ptr<QPrinter> qtPrinter; // where the print system is Qt's own
    QByteArray pdf;
    std::unique_ptr<QBuffer> buffer;
    std::unique_ptr<QPdfWriter> writer;
    QPaintDevice* device = nullptr;
    QRectF printable; // in device pixels, origin at its top-left corner
    // A preview's printable area in character units at scale 1, as the PDF has it.
    QSizeF printableUnits;
    // A preview: the page drawn at this resolution on an image of the whole paper.
    int imageDpi = 0;
    std::optional<SystemPrinter> previewPrinter; // whose paper the preview is on
    QImage image;
    QPointF imageOrigin; // where the printable area starts on the image
    QPainter painter;

    int fontSize = 12;
    bool bold = false;
    float x = 0.0f;
    float y = 0.0f;
    float scale = 1.0f;
    std::string jobName;

    // The problems' face at the page's scale: its four styles, and its measures.
    struct PictureFace {
        QString name;
        double points = 0;
        std::array<QFont, 4> styles; // plain, bold, underlined, bold and underlined
        QFontMetricsF metrics{QFont()};

        double widest = 0; // the widest of the characters a problem is made of

        // An upper bound of the line's width without shaping it: the widest problem character
        // for each of its characters; infinite for a line with any other character.
        std::bitset<256> known{}; // the problem characters, all of them Latin-1

        double widthAtMost(const QString& text) const {
            for (const QChar c : text)
                if (c.unicode() >= known.size() || !known.test(c.unicode()))
                    return std::numeric_limits<double>::infinity();
            return widest * static_cast<double>(text.size());
        }

        const QFont& font(bool inBold, bool underline) const {
            return styles.at(static_cast<std::size_t>(inBold) +
                             2 * static_cast<std::size_t>(underline));
        }
    };
    std::optional<PictureFace> face;

    PictureFace& pictureFace(const SurfacePicture& picture) {
        const QString name = fromUtf8(picture.fontName);
        const double points = picture.fontPoints * static_cast<double>(scale);
        if (!face || face->name != name || face->points != points) {
            QFont plain(name);
            plain.setPointSizeF(points);
            face = PictureFace{name, points, {}, QFontMetricsF(plain, device)};
            // Bold may be wider than regular in some faces: the widest of either.
            QFont heavy = plain;
            heavy.setBold(true);
            const QFontMetricsF boldMetrics(heavy, device);
            for (const QChar c : problemCharacters()) {
                if (c.unicode() < face->known.size())
                    face->known.set(c.unicode());
                face->widest = std::max({face->widest, face->metrics.horizontalAdvance(c),
                                         boldMetrics.horizontalAdvance(c)});
            }
            for (std::size_t style = 0; style < 4; ++style) {
                QFont styled = plain;
                styled.setBold(style % 2 == 1);
                styled.setUnderline(style >= 2);
                face->styles.at(style) = styled;
            }
        }
        return *face;
    }

    double dpi = 0; // the device's, asked once a document: the PDF engine works it out anew
    double resolution() const { return dpi; }
    double unitX() const { return resolution() / 12.0 * scale; }
    double unitY() const { return resolution() / 6.0 * scale; }

    QFont printerFont() const {
        QFont font(fromUtf8(kPageTextFont));
        font.setPointSizeF(fontSize * static_cast<double>(scale));
        font.setBold(bold);
        return font;
    }

    std::string documentName() const { return jobName.empty() ? kAppTitle : jobName; }

    // Looks the system printer up for this document and sets up its page.
    void prepare() {
        if (prepared)
            return;
        QPageLayout layout = localePaper();
        system.reset();
        qtPrinter.reset();
        if (!pdfTarget.empty()) {
            // A PDF on purpose: the locale's paper, whatever printer there is.
        } else if (imageDpi > 0) {
            // The paper the page would be printed on, as the caller has asked the print system
            // for it; the print system is never asked here, on the window's thread.
            if (previewPrinter)
                layout = paperOf(*previewPrinter);
        } else if (systemPrintersViaCups()) {
            system = printerName.empty() ? defaultSystemPrinter() : namedSystemPrinter(printerName);
            if (!system && !printerName.empty())
                throw RuntimeError(ErrorNumber::PrinterError,
                                   "The printer " + printerName + " cannot be found");
            if (system && !system->accepting)
                throw RuntimeError(ErrorNumber::PrinterError,
                                   "The printer " + system->name +
                                       " is not accepting jobs, so the page was not printed.");
            if (system)
                layout = paperOf(*system);
        } else if (const QPrinterInfo info = printerName.empty()
                                                 ? QPrinterInfo::defaultPrinter()
                                                 : QPrinterInfo::printerInfo(fromUtf8(printerName));
                   !info.isNull()) {
            qtPrinter = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
            qtPrinter->setPageSize(info.defaultPageSize()); // else Qt takes the locale's
            qtPrinter->setDocName(fromUtf8(documentName()));
            qtPrinter->setCreator(fromUtf8(kAppTitle));
            layout = qtPrinter->pageLayout();
        }
        if (imageDpi > 0) {
            image = QImage(layout.fullRectPixels(imageDpi).size(), QImage::Format_RGB32);
            image.setDotsPerMeterX(qRound(imageDpi / 0.0254));
            image.setDotsPerMeterY(qRound(imageDpi / 0.0254));
            image.fill(Qt::white);
            imageOrigin = layout.paintRectPixels(imageDpi).topLeft();
            device = &image;
        } else if (qtPrinter) {
            device = qtPrinter.get();
        } else {
            // Pages for CUPS and for the PDF stand-in are made in memory and handed over whole.
            pdf.clear();
            buffer = std::make_unique<QBuffer>(&pdf);
            buffer->open(QIODevice::WriteOnly);
            writer = std::make_unique<QPdfWriter>(buffer.get());
            writer->setResolution(kPagePdfResolution);
            writer->setPageLayout(layout);
            writer->setTitle(fromUtf8(documentName()));
            writer->setCreator(fromUtf8(kAppTitle));
            device = writer.get();
        }
        dpi = device->logicalDpiX();
        printable =
            QRectF(QPointF(0, 0), QSizeF(layout.paintRectPixels(qRound(resolution())).size()));
        // A preview is laid out on the area the printed page has, not on its own few whole
        // pixels an inch: else a row that just fits on paper may not on screen.
        const QSizeF onPaper(layout.paintRectPixels(kPagePdfResolution).size());
        printableUnits = QSizeF(onPaper.width() / (kPagePdfResolution / 12.0),
                                onPaper.height() / (kPagePdfResolution / 6.0));
        prepared = true;
    }

    void begin() {
        prepare();
        if (active)
            return;
        if (!painter.begin(device))
            throw RuntimeError(ErrorNumber::PrinterError);
        painter.translate(imageOrigin);
        painter.setClipRect(printable); // nothing lands in the margins the printer cannot print
        active = true;
    }

    // Hands the finished page to the printer, or writes it as the PDF stand-in.
    PageOutcome deliver() {
        using Kind = PageOutcome::Kind;
        if (qtPrinter || imageDpi > 0)
            return {}; // Qt sent it when the painter ended
        buffer->close();
        if (!isCompletePdf(pdf))
            throw RuntimeError(ErrorNumber::PrinterError);
        const std::string_view bytes(pdf.constData(), static_cast<std::size_t>(pdf.size()));
        if (system) {
            sendToPrinter(*system, documentName(), bytes);
            // The printer may have been paused while a long document was made: asked again
            // once the job is in, so a held job is never reported as sent.
            const std::optional<SystemPrinter> now = namedSystemPrinter(system->name);
            const bool held = now ? now->stopped : system->stopped;
            return held ? PageOutcome{Kind::HeldByPrinter, system->name, {}} : PageOutcome{};
        }
        if (!pdfTarget.empty()) {
            refuseToReplaceAnythingButAPdf(pdfTarget);
            replaceFileContents(pdfTarget, bytes);
            return {Kind::WrittenToFile, pathToUtf8(pdfTarget), {}};
        }
        // The stand-in for a missing printer: in a shared folder another user's NAME.pdf may
        // not be replaced; then the page goes beside it, under this user's own name.
        const std::filesystem::path file =
            replaceFileContentsOrBeside(folder / pathFromUtf8(documentName() + ".pdf"), bytes);
        return {Kind::WrittenToFile, pathToUtf8(file), {}};
    }

    // Ready for the next document, which looks the printer up again.
    void reset() {
        active = false;
        face.reset();
        prepared = false;
        x = y = 0.0f;
        scale = 1.0f;
        device = nullptr;
        imageOrigin = {};
        writer.reset();
        buffer.reset();
        pdf.clear();
        qtPrinter.reset();
        pdfTarget.clear();
        printerName.clear();
    }
};

QtPrinter::QtPrinter(std::filesystem::path pdfFolder) : d(std::make_unique<Impl>()) {
    d->folder = std::move(pdfFolder);
}

QtPrinter::~QtPrinter() {
    killDoc();
}

void QtPrinter::setFontSize(int points) {
    d->fontSize = points;
}
void QtPrinter::setFontBold(bool bold) {
    d->bold = bold;
}
void QtPrinter::setCurrentX(float x) {
    d->x = x;
}
void QtPrinter::setCurrentY(float y) {
    d->y = y;
}

float QtPrinter::scaleHeight() {
    d->prepare();
    if (d->imageDpi > 0)
        return static_cast<float>(d->printableUnits.height() / static_cast<double>(d->scale));
    return static_cast<float>(d->printable.height() / d->unitY());
}

float QtPrinter::scaleWidth() {
    d->prepare();
    if (d->imageDpi > 0)
        return static_cast<float>(d->printableUnits.width() / static_cast<double>(d->scale));
    return static_cast<float>(d->printable.width() / d->unitX());
}

float QtPrinter::textWidth(const std::string& text) {
    d->prepare();
    if (d->imageDpi > 0) {
        // A preview measures as the printed page does, at the PDF's resolution: a screen's few
        // pixels an inch round each glyph's advance up, and the page would be laid out otherwise.
        QFont reference = d->printerFont();
        reference.setPixelSize(qRound(reference.pointSizeF() * kPagePdfResolution / 72.0));
        const QFontMetricsF metrics(reference);
        return static_cast<float>(metrics.horizontalAdvance(fromUtf8(text)) /
                                  (kPagePdfResolution / 12.0 * static_cast<double>(d->scale)));
    }
    const QFontMetricsF metrics(d->printerFont(), d->device);
    return static_cast<float>(metrics.horizontalAdvance(fromUtf8(text)) / d->unitX());
}

void QtPrinter::setPageScale(float scale) {
    d->scale = scale > 0.0f && scale < 1.0f ? scale : 1.0f;
}

void QtPrinter::printLine(const std::string& text) {
    d->begin();
    const QFont font = d->printerFont();
    d->painter.setFont(font);
    const QFontMetricsF metrics(font, d->device);
    const double top = d->y * d->unitY();
    d->painter.drawText(QPointF(d->x * d->unitX(), top + metrics.ascent()), fromUtf8(text));
    d->x = 0.0f;
    d->y += static_cast<float>(metrics.height() / d->unitY());
}

void QtPrinter::paintPicture(const SurfacePicture& picture, float x, float y) {
    d->begin();
    // Drawn as text straight onto the page, so digits stay crisp and searchable at any
    // resolution, and cut at the picture's own edges like the picture it stands for. The face
    // and its measures are the same for every picture of a page, so they are made once.
    Impl::PictureFace& face = d->pictureFace(picture);
    const QPointF origin(x * d->unitX(), y * d->unitY());
    const QSizeF box(static_cast<double>(picture.widthUnits) * d->unitX(),
                     static_cast<double>(picture.heightUnits) * d->unitY());
    // A clip costs the page a clip path; only lines that would reach past the box need one.
    QVarLengthArray<QString, 16> texts;
    for (const SurfaceLine& line : picture.lines)
        texts.append(fromUtf8(line.text));
    bool fits = face.metrics.height() * static_cast<double>(picture.lines.size()) <= box.height();
    for (const QString& text : texts)
        fits = fits && face.widthAtMost(text) <= box.width();
    if (!fits) {
        d->painter.save();
        d->painter.setClipRect(QRectF(origin, box), Qt::IntersectClip);
    }
    double top = origin.y();
    for (qsizetype k = 0; k < texts.size(); ++k) {
        const SurfaceLine& line = picture.lines[static_cast<std::size_t>(k)];
        const QFont& font = face.font(line.bold, line.underline);
        if (d->painter.font() != font)
            d->painter.setFont(font);
        if (!texts[k].isEmpty())
            d->painter.drawText(QPointF(origin.x(), top + face.metrics.ascent()), texts[k]);
        top += face.metrics.height();
    }
    if (!fits)
        d->painter.restore();
}

PageOutcome QtPrinter::endDoc() {
    if (!d->active)
        return {};
    PageOutcome outcome;
    try {
        if (!d->painter.end())
            throw RuntimeError(ErrorNumber::PrinterError);
        outcome = d->deliver();
    } catch (const std::exception& failure) {
        outcome = {PageOutcome::Kind::Failed, {}, describeFailure(failure)};
    }
    d->reset();
    return outcome;
}

void QtPrinter::killDoc() {
    if (d->active) {
        if (d->qtPrinter)
            d->qtPrinter->abort();
        d->painter.end();
    }
    d->reset(); // a page made in memory is simply dropped
}

void QtPrinter::setJobName(const std::string& name) {
    if (!d->active)
        d->reset(); // a new document: the printer is looked up again
    d->jobName = name;
}

void QtPrinter::setPrinter(const std::string& name) {
    if (!d->active)
        d->reset();
    d->printerName = name;
}

void QtPrinter::newPage() {
    d->begin();
    auto* paged = dynamic_cast<QPagedPaintDevice*>(d->device);
    if (paged == nullptr || !paged->newPage())
        throw RuntimeError(ErrorNumber::PrinterError);
    d->x = d->y = 0.0f;
    d->scale = 1.0f;
}

void QtPrinter::setPdfTarget(const std::string& path) {
    if (!d->active)
        d->reset();
    d->pdfTarget = pathFromUtf8(path);
}

QImage QtPrinter::drawPreview(ProblemSurface& picRetPic, const PageSettings& settings,
                              const SavedWorksheet& sheet, int dpi,
                              const std::optional<SystemPrinter>& printer) {
    killDoc();
    d->imageDpi = dpi;
    d->previewPrinter = printer;
    const PageOutcome outcome = PrintWorksheetPage(*this, picRetPic, settings, sheet);
    d->imageDpi = 0;
    QImage page = std::move(d->image);
    d->image = QImage();
    return outcome.kind == PageOutcome::Kind::Printed ? page : QImage();
}

} // namespace sbk3
