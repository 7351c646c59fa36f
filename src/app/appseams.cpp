#include "app/appseams.h"

#include "app/actionrunner.h"
#include "app/theapp.h"
#include "framework/klog.h"
#include "server/mysystem.h"

void CAppSeams::logSeam(const char16_t* name, const QString& argument) {
    kDebugLog(u"SEAM %s(%s): not built yet.\n", name, argument);
}

void CAppSeams::AddRootItem(const QString& label) {
    theApp().Tree().AddRootItem(label);
}

bool CAppSeams::RestoreWorldView() {
    return theApp().WorldViewFile().RestoreWorldView() != 0;
}

void CAppSeams::SetCurrentWorldView(const QString& path) {
    logSeam(u"SetCurrentWorldView", path);
}

void CAppSeams::NewWorldView() {
    logSeam(u"NewWorldView");
}

void CAppSeams::AskSaveWorldViewOnExit() {
    theApp().WorldViewFile().AskToSaveChanges();
}

bool CAppSeams::ShowCurl(const QString& locator) {
    logSeam(u"ShowCurl", locator);
    return false;
}

bool CAppSeams::RunActionScript(const QString& path) {
    return theApp().Runner().RunActionScript(path);
}

int CAppSeams::DispatchCurl(const QString& action) {
    return theApp().DispatchCurl(action);
}

QString CAppSeams::SelectedItemFullCurl() {
    CMyTree& tree = theApp().Tree();
    QTreeWidgetItem* selected = tree.GetSelectedItem();
    return selected != nullptr ? tree.GetFullCurl(selected) : QString();
}

bool CAppSeams::SelectedItemHasBrowserPart() {
    CMyTree& tree = theApp().Tree();
    QTreeWidgetItem* selected = tree.GetSelectedItem();
    const CMyItem* record = selected != nullptr ? tree.GetMyItem(selected) : nullptr;
    return record != nullptr && (record->PanelParts & kPanelBrowser) != 0;
}

quint64 CAppSeams::SelectedServerId() {
    const CMySystem* system = theApp().GetSystem(nullptr);
    return system != nullptr ? system->GetServerId() : 0;
}

bool CAppSeams::HasSelectedItem() {
    return theApp().Tree().GetSelectedItem() != nullptr;
}

QString CAppSeams::SelectedServerBaseURL() {
    const CMySystem* system = theApp().GetSystem(nullptr);
    return system != nullptr ? system->GetBaseURL(false) : QString();
}

void CAppSeams::GridDataReady(quint16 requesterId, CNamedPipe) {
    logSeam(u"GridDataReady", QString::number(requesterId));
}

void CAppSeams::TreeDataReady(quint16 requesterId, CNamedPipe) {
    logSeam(u"TreeDataReady", QString::number(requesterId));
}

int CAppSeams::RefreshItemKeepSelection(const void*, bool collapse) {
    logSeam(u"RefreshItemKeepSelection", collapse ? QStringLiteral("collapse") : QString());
    return 0;
}

void CAppSeams::LogoutAllServers() {
    logSeam(u"LogoutAllServers");
}

void CAppSeams::LoginAllMatching(const QString& text) {
    logSeam(u"LoginAllMatching", text);
}

void CAppSeams::SaveColumnPreferences() {
    logSeam(u"SaveColumnPreferences");
}

void CAppSeams::SaveRebarLayout() {
    logSeam(u"SaveRebarLayout");
}

void CAppSeams::NextPane() {
    logSeam(u"NextPane");
}

bool CAppSeams::IsProgressActive() {
    return false;
}

void CAppSeams::CancelProgress() {}
