#pragma once

#include "print/Printer.h"
#include "print/SystemPrinter.h"

#include <QImage>

#include <filesystem>
#include <memory>
#include <optional>

namespace sbk3 {

class ProblemSurface;
struct PageSettings;
struct SavedWorksheet;

// The resolution pages are made at as PDF, and the face of the page's own lines (the name line,
// the title, the bottom line); the problems are in SurfacePicture's face.
inline constexpr int kPagePdfResolution = 1200;
inline constexpr const char* kPageTextFont = "Arial";

// What Qt writes is only taken for a page when it is a whole PDF: its header first, and its
// end-of-file mark among its last bytes.
bool isCompletePdf(const QByteArray& bytes);

// The printer port on Qt: the system's default printer, looked up for each document, or, where
// the system has none, a PDF file named after the job in the given folder, on the paper of the
// user's locale. Pages for CUPS and for the file are made as PDF in memory and handed over
// whole: a job the print system refuses is an error, and the file is replaced only by a
// complete page.
class QtPrinter : public PrinterPort {
public:
    explicit QtPrinter(std::filesystem::path pdfFolder);
    ~QtPrinter() override;

    void setFontSize(int points) override;
    void setFontBold(bool bold) override;
    void setCurrentX(float x) override;
    void setCurrentY(float y) override;
    float scaleHeight() override;
    float scaleWidth() override;
    float textWidth(const std::string& text) override;
    void setPageScale(float scale) override;
    void printLine(const std::string& text) override;
    void paintPicture(const SurfacePicture& picture, float x, float y) override;
    PageOutcome endDoc() override;
    void killDoc() override;
    void setJobName(const std::string& name) override;
    void setPdfTarget(const std::string& path) override;
    void setPrinter(const std::string& name) override;
    void newPage() override;

    // The page PrintWorksheetPage makes, drawn by the same code at dpi on an image of the whole
    // paper it would be printed on (printer's paper, asked of the print system by the caller;
    // else the locale's), white where nothing is printed; a null image where it cannot be
    // drawn. The print system is not asked.
    QImage drawPreview(ProblemSurface& picRetPic, const PageSettings& settings,
                       const SavedWorksheet& sheet, int dpi,
                       const std::optional<SystemPrinter>& printer = std::nullopt);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace sbk3
