#include "gridctrl/gridcolour.h"

GridColour SystemColour(const QPalette& palette, GridSystemColour which) {
    QPalette::ColorRole role = QPalette::Text;
    switch (which) {
        case GridSystemColour::WindowText:
            role = QPalette::Text;
            break;
        case GridSystemColour::Window:
            role = QPalette::Base;
            break;
        case GridSystemColour::Face:
            role = QPalette::Button;
            break;
        case GridSystemColour::Shadow:
            role = QPalette::Dark;
            break;
        case GridSystemColour::Highlight:
            role = QPalette::Light;
            break;
        case GridSystemColour::Light:
            role = QPalette::Midlight;
            break;
        case GridSystemColour::DarkShadow:
            role = QPalette::Shadow;
            break;
        case GridSystemColour::Selection:
            role = QPalette::Highlight;
            break;
        case GridSystemColour::SelectionText:
            role = QPalette::HighlightedText;
            break;
    }
    return GridColour::FromQColor(palette.color(QPalette::Active, role));
}
