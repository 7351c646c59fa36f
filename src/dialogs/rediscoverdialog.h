#pragma once

// Runs a rediscovery of elements on the server, explains its results in
// plain sentences and lets the user save them (accepting new elements,
// retiring missing ones) or drop them. The log of the run opens in a
// window of its own.

#include "frame/webwnd.h"

#include <QDialog>
#include <QPointer>
#include <QString>

class CReDiscoverSite;
class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;

class CReDiscoverDialog : public QDialog {
    Q_OBJECT
public:
    CReDiscoverDialog(const QString& requestUrl, const QString& resultsUrl, CReDiscoverSite& site,
                      QWidget* parent);
    ~CReDiscoverDialog() override;

    // Fetches and explains the results, then waits for the user; Rejected
    // when the results could not be had.
    int exec() override;

    void OnChoiceChanged();
    void OnSave();
    void OnCancel();
    void OnViewLog();

    QLabel* Headline() const { return m_headline; }
    QLabel* Summary() const { return m_summary; }
    QLabel* Note() const { return m_note; }
    QListWidget* List() const { return m_list; }
    QCheckBox* AcceptNew() const { return m_acceptNew; }
    QCheckBox* RetireMissing() const { return m_retireMissing; }
    QPushButton* SaveButton() const { return m_save; }
    QPushButton* ViewLogButton() const { return m_viewLog; }
    CWebWnd* LogWindow() const { return m_logWindow; }

protected:
    void reject() override;

private:
    bool OnInitDialog();
    void explain(const QString& reply);
    void addList(const QString& list, unsigned heading, const QString& rule);

    QString m_requestUrl;
    QString m_resultsUrl;
    CReDiscoverSite& m_site;
    QLabel* m_headline;
    QLabel* m_summary;
    QLabel* m_note;
    QPushButton* m_viewLog;
    QListWidget* m_list;
    QCheckBox* m_acceptNew;
    QCheckBox* m_retireMissing;
    QPushButton* m_save;
    QPushButton* m_cancel;
    QString m_logPath;
    QString m_updatedDci;
    QString m_newDci;
    QString m_missingElems;
    QString m_elementName;
    bool m_updated = false;
    bool m_newElements = false;
    bool m_missing = false;
    QPointer<CWebWnd> m_logWindow;
};
