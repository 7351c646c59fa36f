#include "frame/folderproperties.h"

#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QVBoxLayout>

namespace {

constexpr int kEditId = 5122;
constexpr int kPromptId = 5171;
constexpr int kOk = 1;
constexpr int kCancel = 2;

}  // namespace

CFolderProperties::CFolderProperties(QWidget* parent, quint32 folder)
    : CMyViewDlg(kTemplateId, parent, nullptr),
      m_prompt(folder != 0 ? QStringLiteral("Specify new folder name:")
                           : QStringLiteral("Specify new file name:")),
      m_folder(folder) {
    setWindowFlags(Qt::Dialog);
    setWindowModality(Qt::ApplicationModal);
    setWindowTitle(m_folder != 0 ? QStringLiteral("Folder Properties")
                                 : QStringLiteral("File Properties"));
    auto* layout = new QVBoxLayout(this);
    auto* prompt = new QLabel(m_prompt, this);
    prompt->setProperty("controlId", kPromptId);
    m_edit = new QLineEdit(this);
    m_edit->setProperty("controlId", kEditId);
    prompt->setBuddy(m_edit);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CFolderProperties::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CFolderProperties::reject);
    layout->addWidget(prompt);
    layout->addWidget(m_edit);
    layout->addWidget(buttons);
}

int CFolderProperties::DoModal() {
    QEventLoop loop;
    m_loop = &loop;
    m_result = kCancel;
    show();
    m_edit->setFocus();
    const QPointer<CFolderProperties> alive(this);
    loop.exec(QEventLoop::DialogExec);
    if (alive != nullptr) {
        m_loop = nullptr;
        hide();
    }
    return m_result;
}

void CFolderProperties::accept() {
    m_name = m_edit->text();
    done(kOk);
}

void CFolderProperties::reject() {
    done(kCancel);
}

void CFolderProperties::closeEvent(QCloseEvent* event) {
    done(kCancel);
    event->accept();
}

void CFolderProperties::done(int result) {
    m_result = result;
    if (m_loop != nullptr) {
        m_loop->quit();
    }
}
