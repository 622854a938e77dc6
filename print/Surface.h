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
    // The box the picture is cut at, in printer character units: the surface's own, or as
    // large as a laid-out problem's lines.
    float widthUnits = kPictureUnits;
    float heightUnits = kPictureUnits;
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

    // Back to white, drawing position at the top-left corner, at the surface's own size.
    void Cls() {
        m_picture.lines.clear();
        m_picture.widthUnits = m_picture.heightUnits = kPictureUnits;
        m_picture.fontPoints = 12;
    }
    // Larger print for a laid-out page's pictures, until the next Cls.
    void setFontPoints(int points) { m_picture.fontPoints = points; }
    // The picture's box, for lines that need more room than the surface's.
    void setSize(float widthUnits, float heightUnits) {
        m_picture.widthUnits = widthUnits;
        m_picture.heightUnits = heightUnits;
    }
    void printLine(std::string text);
    const SurfacePicture& image() const { return m_picture; }

private:
    SurfacePicture m_picture;
    bool m_bold = false;
    bool m_underline = false;
};

} // namespace sbk3
