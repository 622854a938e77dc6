#pragma once

#include "common/RuntimeError.h"
#include "print/Printer.h"

#include <string>
#include <vector>

namespace sbk3::test {

// Logs each printer call as one line of text, e.g. "FontSize 12", "Print Name___",
// "Picture 1,4 [ 7|+12_] bold". Can be told to fail at a given call.
class RecordingPrinter : public PrinterPort {
public:
    std::vector<std::string> log;
    float height = 63.0f; // the printable area at full size: Letter less 1/4 in margins
    float width = 96.0f;
    float scale = 1.0f;
    int failAtCall = -1; // index into log at which a call throws failure
    RuntimeError failure = RuntimeError(ErrorNumber::PrinterError);
    int fontSize = 12;
    bool bold = false;
    bool documentOpen = false;
    PageOutcome outcome; // what endDoc() reports

    void setFontSize(int points) override;
    void setFontBold(bool on) override;
    void setCurrentX(float x) override;
    void setCurrentY(float y) override;
    float scaleHeight() override { return height / scale; }
    float scaleWidth() override { return width / scale; }
    // Every character 0.6 em wide, as in a monospaced face: 1/10 unit a point.
    float textWidth(const std::string& text) override {
        return static_cast<float>(text.size()) * static_cast<float>(fontSize) * 0.1f;
    }
    void setPageScale(float s) override;
    void printLine(const std::string& text) override;
    void paintPicture(const SurfacePicture& picture, float x, float y) override;
    // A failure set for this call comes back as a failed outcome, as the real printer reports it.
    PageOutcome endDoc() override;
    void killDoc() override;
    void setJobName(const std::string& name) override { record("JobName " + name); }
    void setPdfTarget(const std::string& path) override { record("PdfTarget " + path); }
    void setPrinter(const std::string& name) override { record("Printer " + name); }
    void newPage() override;

    // The lines of the log that start with prefix.
    std::vector<std::string> calls(const std::string& prefix) const;

private:
    void record(const std::string& entry);
    float m_x = 0.0f;
    float m_y = 0.0f;
};

// "1.5" for 1.5f, "62.4" for 62.4f: the shortest text that reads back as the same float.
std::string floatText(float value);

} // namespace sbk3::test
