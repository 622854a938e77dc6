#pragma once

#include <string>
#include <vector>

namespace sbk3 {

struct SurfaceLine {
    std::string text;
    bool bold = false;
    bool underline = false;

    bool operator==(const SurfaceLine&) const = default;
};

// The surface is 480 x 960 twips: 4 x 4 printer character units.
inline constexpr float kPictureUnits = 4.0f;

// What the surface (480 x 960 twips) holds: its lines from the top, one font line apart.
struct SurfacePicture {
    std::string fontName = "Courier New";
    int fontPoints = 12;
    std::vector<SurfaceLine> lines;
};

// The small drawing surface each problem is drawn on before it goes onto the page. It keeps
// what is drawn as a picture, so the printer can paint it as vector text at any resolution.
// Bold and underline stay as last set, between prints too.
class ProblemSurface {
public:
    void setFontBold(bool bold) { m_bold = bold; }
    void setFontUnderline(bool underline) { m_underline = underline; }
    bool fontBold() const { return m_bold; }
    bool fontUnderline() const { return m_underline; }

    // Back to white, drawing position at the top-left corner.
    void Cls() { m_picture.lines.clear(); }
    void printLine(std::string text);
    const SurfacePicture& image() const { return m_picture; }

private:
    SurfacePicture m_picture;
    bool m_bold = false;
    bool m_underline = false;
};

} // namespace sbk3
