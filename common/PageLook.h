#pragma once

#include <string>
#include <utility>

namespace sbk3 {

enum class PrintSize { Normal, Large, ExtraLarge };
// Where a worksheet made with settings shows its number: in the title, where "(N)" stands, or
// small in the page's bottom corner, away from the children's eyes.
enum class NumberPlace { InTitle, Corner };

// How a page looks, as one value. The main window gives every page its layout, Bold and bottom
// line; a worksheet made with settings adds the rest, and is stored with all of it, so that it
// is printed again as it was handed out.
struct PageLook {
    bool easy = true;      // optEasy: "Easy Reading" spacing, else "Compact Test"
    int chkBold = 0;       // 1 prints the problems bold
    std::string txtAppend; // the bottom line
    PrintSize size = PrintSize::Normal;
    bool spread = false;  // the problems spread over the whole page
    bool numbers = false; // each problem numbered
    bool header = false;  // Name, Date and "Score: ____ / N" in place of the name line
    std::string instructions;
    NumberPlace numberPlace = NumberPlace::InTitle;

    bool operator==(const PageLook&) const = default;
};

// The look the main window gives every page: its layout, Bold and bottom line.
inline PageLook windowLook(bool easy, int chkBold, std::string txtAppend) {
    PageLook look;
    look.easy = easy;
    look.chkBold = chkBold;
    look.txtAppend = std::move(txtAppend);
    return look;
}

// The problems' print in points: 12, 16, 20.
constexpr int printPoints(PrintSize size) {
    return size == PrintSize::Normal ? 12 : size == PrintSize::Large ? 16 : 20;
}

} // namespace sbk3
