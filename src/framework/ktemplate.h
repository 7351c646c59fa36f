#pragma once

// Text templates and the form-field check of the HTML pages the program
// writes. A template is a UTF-8 text file holding tokens in double braces:
// "{{V=NAME}}" is replaced by its value within the line, any other known
// token replaces its whole line, and the two directives "!START!" and
// "!STOP!" switch the output on and off.

#include "framework/ktext.h"

#include <QIODevice>
#include <QString>

#include <initializer_list>
#include <span>

class KPROPS;

inline constexpr QStringView kTemplateStart = u"!START!";
inline constexpr QStringView kTemplateStop = u"!STOP!";

// Copies the template to the output with the pairs' tokens (pair names, whole
// markers such as "{{V=TITLE}}") replaced; unknown tokens stay. 1 on success,
// 0 when the template cannot be read. The framework must have been started.
int kOutputTemplate(const QString& templatePath, std::span<const KNVP> pairs, QIODevice& output);

// kOutputTemplate with the list's entries as pairs, output starting at the
// line of the start token and ending at the line of the stop token (either
// empty for none).
int kOutputTemplateProps(const QString& templatePath, const KPROPS& list, const QString& startToken,
                         const QString& stopToken, QIODevice& output);

struct KRequiredField {
    QString value;
    QString label;
};

// Checks that every field has a value. Returns 0 when all do; otherwise the
// number of empty fields, with an HTML message naming them in the target; -1
// when the message would not fit into targetSize - 3 characters. The
// framework must have been started.
int kCheckRequiredFields(QString& target, qsizetype targetSize,
                         std::initializer_list<KRequiredField> fields);
