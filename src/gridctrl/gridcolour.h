#pragma once

// The grid's colour values in the system's own form, 0x00BBGGRR, with
// 0xFF000000 as the marker "the default cell's colour". Kept apart from QRgb
// on purpose: there 0xFF000000 is opaque black, and the stored colour
// preferences hold this form.

#include <QColor>
#include <QPalette>

class GridColour {
public:
    static constexpr quint32 kDefaultValue = 0xFF000000u;

    constexpr GridColour() = default;
    constexpr explicit GridColour(quint32 bgr) : m_value(bgr) {}
    static constexpr GridColour FromRgb(int red, int green, int blue) {
        return GridColour(static_cast<quint32>(red & 0xFF) |
                          (static_cast<quint32>(green & 0xFF) << 8) |
                          (static_cast<quint32>(blue & 0xFF) << 16));
    }
    static GridColour FromQColor(const QColor& colour) {
        return FromRgb(colour.red(), colour.green(), colour.blue());
    }

    constexpr quint32 Value() const { return m_value; }
    constexpr bool IsDefault() const { return m_value == kDefaultValue; }
    QColor ToQColor() const {
        return QColor(static_cast<int>(m_value & 0xFF), static_cast<int>((m_value >> 8) & 0xFF),
                      static_cast<int>((m_value >> 16) & 0xFF));
    }
    friend constexpr bool operator==(GridColour, GridColour) = default;

private:
    quint32 m_value = kDefaultValue;
};

constexpr GridColour CLR_DEFAULT{GridColour::kDefaultValue};

// The system colours the grid draws with, taken from the widget palette.
enum class GridSystemColour {
    WindowText,
    Window,
    Face,        // button face: fixed cells, unfocused selection
    Shadow,      // button shadow: the grid background, sort mark
    Highlight,   // 3D highlight: the light edge of fixed cells, sort mark
    Light,       // 3D light: the light side of a sunken edge
    DarkShadow,  // the dark edges of fixed cells
    Selection,
    SelectionText,
};

GridColour SystemColour(const QPalette& palette, GridSystemColour which);
