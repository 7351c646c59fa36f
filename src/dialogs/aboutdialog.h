#pragma once

// The developer About box: the build, where the program runs from and the
// compiler that built it, over a hidden developer area with a switch for
// menu debugging, the URL trail as a page with its playback options, and a
// login to every matching server of the World View. A right double-click on
// the globe icon shows or hides the developer area; it opens hidden.

#include <QDialog>
#include <QPoint>

#include <optional>

class CAboutSite;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTextBrowser;

class CAboutDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 101;
    // The developer area's layout state.
    static constexpr char kCollapsed = 'N';
    static constexpr char kExpanded = 'D';

    explicit CAboutDialog(CAboutSite& site, QWidget* parent = nullptr);

    // With a point (global coordinates) it acts only when the point lies on
    // the icon, edges included; without one it always acts. Collapses an
    // expanded area and expands a collapsed one; any other state collapses.
    void ToggleDeveloperHooks(std::optional<QPoint> globalPoint = std::nullopt);
    char LayoutState() const { return m_layoutState; }
    bool DeveloperHooksShown() const;

    // The handlers of the developer area.
    void OnMenuDebug();
    void OnPlaybackOptions();
    void OnBeginLogin();

    QLabel& Icon() { return *m_icon; }
    QLabel& BuildText() { return *m_build; }
    QLabel& ModulePathText() { return *m_modulePath; }
    QLabel& CompilerText() { return *m_compiler; }
    QCheckBox& MenuDebugBox() { return *m_menuDebug; }
    QLineEdit& HostsEdit() { return *m_hosts; }
    QPushButton& BeginLoginButton() { return *m_beginLogin; }
    QPushButton& PlaybackButton() { return *m_playback; }
    QTextBrowser& TrailBrowser() { return *m_trail; }

    // The compiler that built the program, as the About box names it.
    static QString CompilerVersionText();

    bool eventFilter(QObject* watched, QEvent* event) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ShowURLTrail();
    void placeBelowCentre();

    CAboutSite& m_site;
    QLabel* m_icon;
    QLabel* m_build;
    QLabel* m_modulePath;
    QLabel* m_compiler;
    QGroupBox* m_developer;
    QCheckBox* m_menuDebug;
    QLineEdit* m_hosts;
    QCheckBox* m_updateCmi;
    QPushButton* m_beginLogin;
    QPushButton* m_playback;
    QTextBrowser* m_trail;
    char m_layoutState = 0;
    bool m_placed = false;
};
