#pragma once

// The sixth page of the options dialog, kept empty for a later page.

#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>

class COptionsDialog;

class COptionsPanel6 : public QWidget {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 5469;

    explicit COptionsPanel6(COptionsDialog&) {
        setProperty("templateId", kTemplateId);
        (new QVBoxLayout(this))->addWidget(new QLabel(QStringLiteral("Panel 6"), this));
    }
};
