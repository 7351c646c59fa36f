#pragma once

// The remembered credentials as the preferences file keeps them: one record
// string "HP=<key>&U=<user>&P=<password>&" per credential (each part
// URL-encoded), closed by "HP=_d_o_n_e_&", enciphered with DES into lower-case
// hex and cut into chunks of 5000 digits under "AppData:00", "AppData:01" ...

#include "settings/des.h"

#include <QString>
#include <QStringList>

class KPROPS;

inline constexpr QStringView kCredentialChunkPrefix = u"AppData";
inline constexpr qsizetype kCredentialChunkSize = 5000;

// The key every build uses, so each can read what the others stored.
DesKey CredentialCipherKey();

// The record string of a credential list (name = key, value = user, extra1 =
// password); users and passwords are left empty unless they are to be
// stored. Empty for an empty list.
QString BuildCredentialRecords(const KPROPS& credentials, bool storeUsernames, bool storePasswords);

// Adds the credentials of a deciphered record string to the list; pairs that
// are not part of a record are logged and skipped.
void ParseCredentialRecords(QStringView records, KPROPS& credentials);

// The hex text cut into pieces of kCredentialChunkSize digits.
QStringList SplitCredentialChunks(const QString& hex);
// "AppData:%02d".
QString CredentialChunkKey(int number);
