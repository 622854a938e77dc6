#pragma once

#include <string>

namespace sbk3 {

struct SurfacePicture;

// Drawing on a page in character units: 1 unit across is 1/12 inch, 1 unit down is 1/6 inch,
// origin at the top-left corner of the printable area. Failures throw RuntimeError.
class PageCanvas {
public:
    virtual ~PageCanvas() = default;

    virtual void setFontSize(int points) = 0;
    virtual void setFontBold(bool bold) = 0;
    virtual void setCurrentX(float x) = 0;
    virtual void setCurrentY(float y) = 0;
    // Height and width of the printable area in units at the page's scale.
    virtual float scaleHeight() = 0;
    virtual float scaleWidth() = 0;
    // Width of the text in the current font, in horizontal units.
    virtual float textWidth(const std::string& text) = 0;
    // Shrinks all that follows on the page about the printable area's top-left corner:
    // positions, font sizes and pictures alike. 1 is full size, and each document starts so.
    virtual void setPageScale(float scale) = 0;
    // Text with its top at the current position; then X = 0 and Y moves down one line.
    // The first output of a job opens the document.
    virtual void printLine(const std::string& text) = 0;
    // A surface's picture at its own size, top-left corner at (x, y).
    virtual void paintPicture(const SurfacePicture& picture, float x, float y) = 0;
};

// What became of a page when its document ended.
struct PageOutcome {
    enum class Kind {
        Printed,       // handed to the printer
        HeldByPrinter, // handed to a paused printer: it prints when the printer is resumed
        WrittenToFile, // a PDF file: the one asked for, or the stand-in for a missing printer
        Failed,        // nothing reached paper or file
    };
    Kind kind = Kind::Printed;
    std::string where;  // the file, or the paused printer's name
    std::string reason; // why it failed, in the program's own words
};

// A document on the system printer: drawn on its canvas, then ended. A system printer is
// looked up anew for each document, when the first call needs it.
class PrinterPort : public PageCanvas {
public:
    // Names the next document (the print job, the PDF stand-in's file).
    virtual void setJobName(const std::string& name) = 0;
    // The next document goes to a PDF file at path (UTF-8) instead of the printer, on the paper
    // of the user's locale; the file is replaced only by a complete page.
    virtual void setPdfTarget(const std::string& path) = 0;
    // The next document goes to the system printer of that name instead of the default one.
    virtual void setPrinter(const std::string& name) = 0;
    // Ends the page under way and starts the next one of the same document, at full size.
    virtual void newPage() = 0;
    // Sends the page; the printer is then ready for the next document.
    virtual PageOutcome endDoc() = 0;
    // Drops a document that was started but not ended; nothing reaches paper.
    virtual void killDoc() = 0;
};

} // namespace sbk3
