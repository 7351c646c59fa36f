#pragma once

// The program's one settings store. Every setting is a text under a
// case-sensitive key, kept in a KPROPS list and persisted to "Quillex.ini" in
// the settings folder. Readers pass their own default, which applies only
// when the key is absent; numbers are stored in decimal and colours as the
// unsigned decimal of 0x00BBGGRR. Any change raises the dirty flag, and
// SavePrefs writes the file only when it is raised (or when forced).
//
// The store also keeps the allowed date and time formats, the remembered
// server credentials with their cipher key, and the current World View.
// UI thread only; the action worker reaches it through the UI thread.

#include "framework/kprops.h"
#include "framework/ktext.h"
#include "settings/des.h"
#include "settings/preferencessite.h"

#include <QRect>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

struct CElemChooserFilter;
struct CJobChooserFilter;
class QComboBox;
class QWidget;

class CPreferences {
public:
    CPreferences();
    CPreferences(const CPreferences&) = delete;
    CPreferences& operator=(const CPreferences&) = delete;

    // The application's windows and services. Without a site (null, the
    // start state) the store stands alone: it reads and writes its file but
    // keeps no window placement, loads no language pack, applies nothing to
    // windows and only logs a failed save.
    void SetSite(CPreferencesSite* site);

    // Typed reads: the default when the key is absent; a present key is
    // converted even when empty or not a number (giving 0). Numbers are read
    // from their leading sign and digits.
    QString GetString(const QString& key, const QString& defaultValue = {}) const;
    int GetInt(const QString& key, int defaultValue) const;
    // Colours and other unsigned values, read as a long.
    quint32 GetULong(const QString& key, quint32 defaultValue) const;
    // "ListViewMode", 0 when absent.
    int GetListViewMode() const;

    // Writes: each stores the text (numbers in decimal) and raises the dirty
    // flag when the key is new or its value changes (compared with case).
    int SetString(const QString& key, const QString& text);
    int SetInt(const QString& key, int value);
    int SetUInt(const QString& key, quint32 value);
    int SetLong(const QString& key, qint32 value);
    int SetULong(const QString& key, quint32 value);
    // Sets "ListViewMode" and saves when that changed anything.
    int SetListViewMode(int mode);
    // Stores the i-th allowed date or time format under the key; 0 and
    // nothing stored when i is out of range.
    int SetDateFormatAt(const QString& key, int index);
    int SetTimeFormatAt(const QString& key, int index);

    bool IsDirty() const { return m_dirty != 0; }
    // Marks the settings as changed, so the next SavePrefs writes them.
    void SetDirty() { m_dirty = 1; }

    // Start-up: the hard-coded defaults, the ini file, the stored
    // credentials and the language pack. Returns 1.
    int RestorePrefs();
    // Writes the ini file when dirty or forced: 1 on success or when skipped;
    // 0 (after a warning box) when the write failed, the flag then staying up.
    int SavePrefs(int force);
    // Pushes ListViewMode, the rebar layout and Splitter1 into the main window.
    int Apply();
    // Adds the entries of an ini file to the settings (no dirty flag); 0 when
    // the file cannot be read or holds a malformed line (the other lines load).
    int FileLoad(const QString& path);
    // Writes the settings as an ini file, atomically, leaving out (and
    // logging) names that cannot be written; 1 when the file was written.
    int FileStore(const QString& path) const;
    static QString GetIniPath();
    static QString GetDefaultWorldViewPath();

    // Makes the address the current World View ("ZWV"), records it in the
    // recent list ("ZWV:" and the address) and stores its credentials when
    // either is given. 0 for an empty address.
    int SetCurrentWorldView(const QString& address, const std::optional<QString>& user,
                            const std::optional<QString>& password);

    // Window placement under "<name>.flags", ".showCmd", ".left", ".top",
    // ".right" and ".bottom": the window's state and its normal geometry.
    void SaveWindowPlacement(const QString& name, const QWidget& window);
    // The saved normal geometry; 0 (rect untouched) when its width is not
    // positive or its height negative.
    int GetSavedWindowRect(const QString& name, QRect& rect) const;
    // Maximized when the window was saved maximized (or minimized from
    // maximized); otherwise no state.
    Qt::WindowStates GetSavedWindowState(const QString& name) const;
    // GetSavedWindowRect for "Main", before the main window is created.
    int RestoreMainFramePosition(QRect& rect) const;

    // Remembered credentials, keyed exactly by server host:port or World View
    // address. A missing user or password counts as empty; both missing
    // changes nothing. Setting a different pair raises the dirty flag.
    int SetCredentials(const QString& key, const std::optional<QString>& user,
                       const std::optional<QString>& password);
    // 1 and the stored pair; 0 with the outputs untouched when the key is absent.
    int GetCredentials(const QString& key, QString& user, QString& password) const;
    // Forgets every credential and empties every "AppData" key.
    void ClearCredentials();
    // Splits "name=value" pairs at the separators into at most `maximum`
    // pairs, trimmed and URL-decoded; returns their number.
    static int ParseEncodedPairs(QStringView text, std::vector<KNVP>& pairs, int maximum,
                                 QChar pairSeparator, QChar nameSeparator);

    // The grid field chooser: the URL's "FieldChooser" parameter (empty when
    // none), and the chosen column list ("FieldChooser:<grid>") put into a
    // grid URL in place of any "&Columns=" and all that follows it; 1 when
    // the URL was changed, 0 (URL untouched) when no list is stored.
    static QString GetFieldChooserName(const QString& url);
    int ApplyFieldChooserColumns(const QString& grid, QString& url) const;

    // The element and job choosers' last query under the chooser's key
    // prefix. Saving sets the keys and saves the file when changed (result of
    // SavePrefs); restoring gives the stored values, or the defaults: for
    // the element chooser the curl's "Name", "Alias", "IPAddress" and
    // "Children" parameters ("*" for an empty name or address), for the job
    // chooser every status, subject "*" and every day. The advanced element
    // filters are kept only while the record says they are offered.
    int SaveElemChooserFilter(const CElemChooserFilter& filter, const QString& prefix);
    int RestoreElemChooserFilter(CElemChooserFilter& filter, const QString& prefix,
                                 const QString& curlParameters) const;
    int SaveJobChooserFilter(const CJobChooserFilter& filter, const QString& prefix);
    int RestoreJobChooserFilter(CJobChooserFilter& filter, const QString& prefix) const;
    // The field chooser's columns of a grid, in order: each column's place
    // (1-based, "grid:<grid>/<column>") and the comma list
    // ("FieldChooser:<grid>"). Nothing is written to disk here.
    void SaveFieldChooserColumns(const QString& grid, const QStringList& columns);
    void SetFieldChooserColumns(const QString& grid, const QString& columns);

    // Empties and refills the lists of allowed date and time formats.
    void InitFormatLists();

    KPROPS& Settings() { return m_settings; }
    const KPROPS& Settings() const { return m_settings; }
    const KPROPS& TimeFormats() const { return m_timeFormats; }
    const KPROPS& DateFormats() const { return m_dateFormats; }
    const KPROPS& Credentials() const { return m_credentials; }

private:
    void setHardCodedDefaults();
    // Copies a damaged ini file to "<name>.bad" before a save replaces it.
    static void keepDamagedFile(const QString& path);
    // Credentials into and out of the numbered "AppData" chunk keys.
    void storeCredentialChunks();
    void restoreCredentials();

    KPROPS m_settings{100, 10};
    KPROPS m_timeFormats{100, 10};
    KPROPS m_dateFormats{100, 10};
    DesKey m_cipherKey;
    KPROPS m_credentials{100, 10};
    int m_dirty = 0;
    CPreferencesSite* m_site = nullptr;
};

// The selected item's text, or the edit text when nothing is selected or the
// item's text is empty.
QString GetComboBoxText(const QComboBox& combo);
