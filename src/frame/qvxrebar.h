#pragma once

// The bars at the top of the main window, as bands in a fixed order: the
// menu bar, the busy animation, the standard toolbar, the navigation bar
// and the grid filter bar. The busy animation is a placed band: it sits in
// the menu bar's corner, takes no line and never moves, but keeps its entry
// in the stored layout. The other bands can be moved, hidden and locked; their
// order, lines, visibility and lock are kept in the preferences at exit and
// put back when the preferences are applied. The stored layout is the one
// the Windows program writes, bit for bit, so settings move between them.
//
// Qt's tool bar area sizes a bar to its contents and gives the rest of its
// line to the last bar: the stored width of a band is written and read, but
// a bar is not stretched to it. A bar dropped after a drag is packed into its
// line again, so no bar is pushed into an overflow menu.

#include <QList>
#include <QObject>
#include <QRect>
#include <QString>

class CPreferences;
class QMainWindow;
class QToolBar;
class QWidget;

class CQVxReBar : public QObject {
    Q_OBJECT
public:
    // Band style bits, as the preferences store them.
    static constexpr unsigned RBBS_BREAK = 0x1;
    static constexpr unsigned RBBS_FIXEDSIZE = 0x2;
    static constexpr unsigned RBBS_HIDDEN = 0x8;
    static constexpr unsigned RBBS_FIXEDBMP = 0x20;
    static constexpr unsigned RBBS_GRIPPERALWAYS = 0x80;
    static constexpr unsigned RBBS_NOGRIPPER = 0x100;

    CQVxReBar(QMainWindow& frame, CPreferences& prefs);

    // Appends a band holding the bar (its "controlId" property is the band
    // id); the text goes before the bar's items. False when the bar is
    // already a band.
    bool AddBand(QToolBar* bar, const QString& text, unsigned style, bool gripperAllowed);
    // Appends a band for a window the frame places itself (its "controlId"
    // property is the band id); it never gets a gripper and always keeps
    // this style. False when the window is already a band.
    bool AddPlacedBand(QWidget* window, unsigned style);
    void Lock(bool locked);
    bool IsLocked() const { return m_locked; }

    void SaveBandLayout();
    void RestoreBandLayout();

    // The bands' windows in band order: line by line, left to right.
    QList<QWidget*> Bands();
    // The style bits a band shows now.
    unsigned BandStyle(const QWidget* window) const;

protected:
    // A bar's drag ends with the button's release on the bar.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Band {
        QWidget* window;
        // The band's bar in the top area; null for a placed band.
        QToolBar* bar;
        int id;
        // The bits that only the preferences keep: fixed size, fixed bitmap;
        // all of a placed band's bits.
        unsigned keptStyle;
        bool gripperAllowed;
    };
    struct Entry {
        int id;
        int cx;
        unsigned style;
    };
    static bool parseEntry(const QString& text, Entry& entry);
    Band* bandOf(const QWidget* window);
    const Band* bandOf(const QWidget* window) const;
    void syncOrder();
    QList<unsigned> currentStyles() const;
    // Packs every line from its left end, in the order and lines the bars
    // have now.
    void repack();
    // Puts the bars back into the top area in band order, with their lines.
    void relayout(const QList<unsigned>& styles);

    QMainWindow& m_frame;
    CPreferences& m_prefs;
    QList<Band> m_bands;
    bool m_locked = false;
    // The pressed bar's place, to tell a drag from a click.
    QRect m_pressedAt;
};
