#include "support/recordingappservices.h"

#include <QDialog>

void RecordingAppServices::record(const char16_t* name, const QString& argument) {
    calls << (argument.isEmpty() ? QString::fromUtf16(name)
                                 : QString::fromUtf16(name) + u'(' + argument + u')');
}

void RecordingAppServices::AddRootItem(const QString& label) {
    record(u"AddRootItem", label);
    if (passesThrough) {
        m_program.AddRootItem(label);
    }
}

bool RecordingAppServices::RestoreWorldView() {
    record(u"RestoreWorldView");
    if (onRestore) {
        onRestore();
    }
    return passesThrough ? m_program.RestoreWorldView() : restores;
}

bool RecordingAppServices::OpenWorldView(const QString& path) {
    record(u"OpenWorldView", path);
    return passesThrough ? m_program.OpenWorldView(path) : true;
}

void RecordingAppServices::NewWorldView() {
    record(u"NewWorldView");
    if (passesThrough) {
        m_program.NewWorldView();
    }
}

void RecordingAppServices::AskSaveWorldViewOnExit() {
    record(u"AskSaveWorldViewOnExit");
    if (passesThrough) {
        m_program.AskSaveWorldViewOnExit();
    }
}

bool RecordingAppServices::ShowCurl(const QString& locator) {
    record(u"ShowCurl", locator);
    return passesThrough ? m_program.ShowCurl(locator) : rendersCurl;
}

bool RecordingAppServices::RunActionScript(const QString& path) {
    if (onRunActionScript) {
        onRunActionScript(path);
    }
    record(u"RunActionScript", path);
    return passesThrough ? m_program.RunActionScript(path) : true;
}

int RecordingAppServices::DispatchCurl(const QString& action) {
    dispatched << action;
    return dispatchResult ? *dispatchResult : m_program.DispatchCurl(action);
}

QString RecordingAppServices::SelectedItemFullCurl() {
    return passesThrough ? m_program.SelectedItemFullCurl() : fullCurl;
}

bool RecordingAppServices::SelectedItemHasBrowserPart() {
    return passesThrough && m_program.SelectedItemHasBrowserPart();
}

quint64 RecordingAppServices::SelectedServerId() {
    return passesThrough ? m_program.SelectedServerId() : serverId;
}

bool RecordingAppServices::HasSelectedItem() {
    return passesThrough ? m_program.HasSelectedItem() : hasSelectedItem;
}

QString RecordingAppServices::SelectedServerBaseURL() {
    return passesThrough ? m_program.SelectedServerBaseURL() : baseUrl;
}

int RecordingAppServices::RefreshItemKeepSelection(const void* item, bool collapse) {
    return m_program.RefreshItemKeepSelection(item, collapse);
}

void RecordingAppServices::GridDataReady(quint16 requesterId, CNamedPipe clientEnd) {
    m_program.GridDataReady(requesterId, std::move(clientEnd));
}

void RecordingAppServices::TreeDataReady(quint16 requesterId, CNamedPipe clientEnd) {
    m_program.TreeDataReady(requesterId, std::move(clientEnd));
}

void RecordingAppServices::LogoutAllServers() {
    record(u"LogoutAllServers");
    if (passesThrough) {
        m_program.LogoutAllServers();
    }
}

void RecordingAppServices::LoginAllMatching(const QString& text) {
    record(u"LoginAllMatching", text);
    if (passesThrough) {
        m_program.LoginAllMatching(text);
    }
}

void RecordingAppServices::SaveColumnPreferences() {
    record(u"SaveColumnPreferences");
    if (passesThrough) {
        m_program.SaveColumnPreferences();
    }
}

void RecordingAppServices::SaveRebarLayout() {
    record(u"SaveRebarLayout");
    m_program.SaveRebarLayout();
}

void RecordingAppServices::NextPane() {
    record(u"NextPane");
    if (passesThrough) {
        m_program.NextPane();
    }
}

void RecordingAppServices::TreePaneCommand(int commandId) {
    if (onPaneCommand) {
        onPaneCommand(commandId);
    } else {
        m_program.TreePaneCommand(commandId);
    }
}

void RecordingAppServices::ShowDialog(int commandId) {
    m_program.ShowDialog(commandId);
}

void RecordingAppServices::ShowOptions(int startPage) {
    m_program.ShowOptions(startPage);
}

bool RecordingAppServices::HideFirstVisibleFloatingBrowser() {
    if (!floatingBrowsers) {
        return m_program.HideFirstVisibleFloatingBrowser();
    }
    if (*floatingBrowsers == 0) {
        return false;
    }
    --*floatingBrowsers;
    return true;
}

void RecordingAppServices::ShowPreferencesPanel() {
    if (onPreferencesPanel) {
        onPreferencesPanel();
    } else {
        m_program.ShowPreferencesPanel();
    }
}

int RecordingAppServices::ReDiscover(const QString& requestUrl, const QString& resultsUrl) {
    record(u"ReDiscover", requestUrl + u' ' + resultsUrl);
    return passesThrough ? m_program.ReDiscover(requestUrl, resultsUrl) : QDialog::Rejected;
}

bool RecordingAppServices::IsProgressActive() {
    return progressActive ? *progressActive : m_program.IsProgressActive();
}

void RecordingAppServices::CancelProgress() {
    m_program.CancelProgress();
}
