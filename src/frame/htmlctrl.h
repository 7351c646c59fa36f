#pragma once

// A browser used as a control inside a dialog, made over a placeholder
// child that carries its control id. Its pages come from the program's own
// HTML resources and send commands to the program through "app:" links:
// "Minimise" minimises the main window, "Beep" sounds the bell, and any
// other word is shown in an "Unexpected Command" box.

#include "frame/webpage.h"

class CHtmlCtrl : public CWebPane {
    Q_OBJECT
public:
    explicit CHtmlCtrl(QWidget* parent = nullptr);

    // Takes the place of the parent's child whose "controlId" property is
    // `id`, which goes; true when the control exists afterwards.
    bool CreateFromStatic(int id, QWidget* parent);
    // Shows one of the program's HTML pages by its resource name; false for
    // an unknown name.
    bool LoadFromResource(const QString& name);

    // A command of an "app:" link (the text after "app:").
    virtual void OnAppCmd(const QString& command);

private:
    bool m_created = false;
};
