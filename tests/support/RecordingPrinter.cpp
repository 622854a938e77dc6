#include "support/RecordingPrinter.h"

#include "common/RuntimeError.h"
#include "print/Surface.h"

#include <charconv>

namespace sbk3::test {

std::string floatText(float value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

void RecordingPrinter::record(const std::string& entry) {
    if (static_cast<int>(log.size()) == failAtCall) {
        log.push_back("FAILED " + entry);
        throw failure;
    }
    log.push_back(entry);
}

void RecordingPrinter::setFontSize(int points) {
    record("FontSize " + std::to_string(points));
    fontSize = points;
}

void RecordingPrinter::setFontBold(bool on) {
    record(std::string("FontBold ") + (on ? "1" : "0"));
    bold = on;
}

void RecordingPrinter::setPageScale(float s) {
    record("PageScale " + floatText(s));
    scale = s;
}

void RecordingPrinter::setCurrentX(float x) {
    record("CurrentX " + floatText(x));
    m_x = x;
}

void RecordingPrinter::setCurrentY(float y) {
    record("CurrentY " + floatText(y));
    m_y = y;
}

void RecordingPrinter::printLine(const std::string& text) {
    record("Print " + text);
    documentOpen = true;
    m_x = 0;
    m_y += 1;
}

void RecordingPrinter::paintPicture(const SurfacePicture& picture, float x, float y) {
    std::string entry = "Picture " + floatText(x) + "," + floatText(y) + " [";
    bool anyBold = false;
    for (std::size_t i = 0; i < picture.lines.size(); ++i) {
        const SurfaceLine& line = picture.lines[i];
        entry += (i ? "|" : "") + line.text + (line.underline ? "_" : "");
        anyBold = anyBold || line.bold;
    }
    entry += "]";
    if (anyBold)
        entry += " bold";
    if (picture.fontPoints != 12)
        entry += " points " + std::to_string(picture.fontPoints);
    if (picture.widthUnits != kPictureUnits || picture.heightUnits != kPictureUnits)
        entry += " box " + floatText(picture.widthUnits) + "x" + floatText(picture.heightUnits);
    record(entry);
    documentOpen = true;
}

void RecordingPrinter::newPage() {
    record("NewPage");
    scale = 1.0f;
}

PageOutcome RecordingPrinter::endDoc() {
    documentOpen = false;
    scale = 1.0f;
    try {
        record("EndDoc");
    } catch (const RuntimeError& error) {
        return {PageOutcome::Kind::Failed, {}, error.description()};
    }
    return outcome;
}

void RecordingPrinter::killDoc() {
    record("KillDoc");
    documentOpen = false;
    scale = 1.0f;
}

std::vector<std::string> RecordingPrinter::calls(const std::string& prefix) const {
    std::vector<std::string> found;
    for (const std::string& entry : log)
        if (entry.rfind(prefix, 0) == 0)
            found.push_back(entry);
    return found;
}

} // namespace sbk3::test
