#pragma once

// Tells the desktop that the program opens action scripts (".curl") and
// World Views (".zwv"): a desktop entry and a shared-mime-info package under
// $XDG_DATA_HOME (default ~/.local/share). This is what the file-type keys
// under HKEY_CLASSES_ROOT do on the original platform.

#include <QString>

// $XDG_DATA_HOME, else ~/.local/share.
QString XdgDataHome();

// The argument quoted for the Exec line of a desktop entry: inside double
// quotes, with the characters that stay special there escaped, and with the
// entry's own escapes for backslash and percent.
QString DesktopExecArgument(const QString& argument);

class CDesktopFileTypes {
public:
    explicit CDesktopFileTypes(QString programPath);

    // Writes the desktop entry and the MIME package when they differ from what
    // is there, then asks the desktop's tools, when installed, to refresh
    // their caches. False with an error text when a file cannot be written.
    bool Register();
    QString ErrorText() const { return m_error; }

    QString DesktopEntryPath() const;
    QString MimePackagePath() const;
    QString DesktopEntryText() const;
    static QString MimePackageText();

private:
    // 1 written, 0 unchanged, -1 failed.
    int writeIfChanged(const QString& path, const QString& text);

    QString m_programPath;
    QString m_error;
};
