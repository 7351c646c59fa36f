#pragma once

// Three texts: the arguments of a form-field request on their way to the UI
// thread (field name, value, form name), and the smart-card login data.

#include <QString>

struct CStringTriple {
    QString first;
    QString second;
    QString third;
};
