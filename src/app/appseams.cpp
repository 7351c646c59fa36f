#include "app/appseams.h"

#include "app/theapp.h"
#include "framework/klog.h"

void CAppSeams::logSeam(const char16_t* name, const QString& argument) {
    kDebugLog(u"SEAM %s(%s): not built yet.\n", name, argument);
}

void CAppSeams::AddRootItem(const QString& label) {
    theApp().Tree().AddRootItem(label);
}

bool CAppSeams::RestoreWorldView() {
    return theApp().WorldViewFile().RestoreWorldView() != 0;
}

bool CAppSeams::OpenWorldView(const QString& path) {
    return theApp().WorldViewFile().OpenWorldView(path) != 0;
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

void CAppSeams::ShowCurl(const QString& locator) {
    logSeam(u"ShowCurl", locator);
}

void CAppSeams::RunActionScript(const QString& path) {
    logSeam(u"RunActionScript", path);
}

int CAppSeams::DispatchCurl(const QString& action) {
    logSeam(u"DispatchCurl", action);
    return 0;
}

QString CAppSeams::SelectedItemFullCurl() {
    logSeam(u"SelectedItemFullCurl");
    return {};
}

bool CAppSeams::SelectedItemHasBrowserPart() {
    logSeam(u"SelectedItemHasBrowserPart");
    return false;
}

quint64 CAppSeams::SelectedServerId() {
    logSeam(u"SelectedServerId");
    return 0;
}

bool CAppSeams::HasSelectedItem() {
    logSeam(u"HasSelectedItem");
    return false;
}

QString CAppSeams::SelectedServerBaseURL() {
    logSeam(u"SelectedServerBaseURL");
    return {};
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
