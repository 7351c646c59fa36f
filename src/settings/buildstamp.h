#pragma once

// The build number and build note stamped into the program, and the version
// text formed from them. A post-link step may overwrite the two 28-character
// fields of the record `g_BuildStamp` in the finished program (find it by its
// "<ZRM_BUILDNUM>" and "<ZRM_BUILDNOTE>" tags); every other byte stays, so
// the record's length and layout never change.

#include <QString>
#include <QStringView>

// The record's bytes as the build step leaves them (139 bytes).
QString BuildStampText();

// The content of one tag of a stamp record, without the blanks that fill it.
QString BuildStampField(QStringView record, QStringView tag);

// "6.3.0.<number> <note>" with the flag set, "6.3.0.<number>" without.
QString GetVersionString(bool withNote);

// The override when one is set, else the stamped build number.
QString GetBuildNum();
QString GetBuildNote();

// Makes GetBuildNum report another build number (not the version text); an
// empty text switches the override off. Written on the UI thread only.
void SetBuildNumOverride(const QString& buildNum);
