#pragma once

// What the element and job choosers share: the panel above the view's
// primary grid whose Go button turns the controls into a query, keeps them
// in the preferences under the selected item's key prefix and loads the
// grid; the automatic Go when the panel (or the grid's navigator) shows
// it; and the cleaning of typed patterns as they change.

#include "frame/myviewdlg.h"

#include <QString>

class CChooserSite;
class CMyView;
class CMySystem;
class QLineEdit;
class QPushButton;

class CChooserPanel : public CMyViewDlg {
    Q_OBJECT
public:
    CChooserPanel(int templateId, const QString& baseUrl, CMyView& view, QTreeWidgetItem* item,
                  CChooserSite& site);

    // Holds the grid hidden until its reply, then goes when "AutoGo" is on
    // or the navigator shows.
    void OnPanelShown() override;
    void OnGo();

    QPushButton* GoButton() const { return m_go; }
    const QString& BaseURL() const { return m_baseUrl; }
    // "<server host>-<item id>" of the selected World View item.
    QString ChooserPrefix() const;

protected:
    virtual QString BuildQuery() = 0;
    // Writes the panel's state under the prefix.
    virtual void SaveState(const QString& prefix) = 0;
    // The URL a query loads: the base URL followed by the query.
    virtual QString RequestURL(const QString& query) const;
    // After a load that did not log the server out.
    virtual void AfterGo() {}

    // Cleans the edit's text on every change, the caret put at its end.
    static void CleanOnChange(QLineEdit* edit, QString (*cleaner)(const QString&));
    // The navigator's paging suffix, empty without a navigator.
    QString ChunkQuery() const;
    // The server of the selected World View item, null when none.
    CMySystem* SelectedSystem() const;
    // The curl of the selected item's last right-hand part, empty when none.
    QString SelectedItemLastCurl() const;

    CMyView& m_view;
    CChooserSite& m_site;
    QPushButton* m_go;

private:
    QString m_baseUrl;
};
