#include "dialogs/optionspanel5.h"
#include "dialogs/progressbar.h"
#include "dialogs/progressdialog.h"
#include "dialogs/webtranslation.h"
#include "gridctrl/inplaceedit.h"
#include "grid/mygrid.h"
#include "optionsfixture.h"
#include "resources/menus.h"
#include "settings/settingsfolder.h"
#include "support/fakevelnixserver.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTcpServer>
#include <QTest>
#include <QTimer>

namespace {

FakeVelnixServer::Reply html(const QByteArray& body) {
    FakeVelnixServer::Reply reply;
    reply.body = body;
    return reply;
}

FakeVelnixServer::Reply babelfishReply(const QByteArray& translation) {
    return html("<html><table><tr><td bgcolor=white class=s><div style=padding:10px;>" +
                translation + "</div></td></tr></table></html>");
}

const QByteArray kLanguagePage =
    "<select name=lp>\n"
    "<option value=\"de_en\">German to English</option>\n"
    "<option value=\"en_fr\">English to French</option>\n"
    "<option value=\"en_zh\">English to Chinese&nbsp;(Simplified)</option>\n"
    "<option value=\"en_fr\">English to French</option>\n"
    "</select>";

QString packText(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QByteArray bytes = file.readAll();
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData()), bytes.size() / 2);
}

// The decoded value of a query parameter as the server received it.
QString queryValue(const QByteArray& query, const QByteArray& name) {
    for (const QByteArray& pair : query.split('&')) {
        if (pair.startsWith(name + '=')) {
            QByteArray value = pair.mid(name.size() + 1);
            value.replace('+', ' ');
            return QString::fromUtf8(QByteArray::fromPercentEncoding(value));
        }
    }
    return {};
}

class LangPackEditorTest : public OptionsFixture {
protected:
    void SetUp() override {
        OptionsFixture::SetUp();
        packPath = Getlocalsettingsdir() + QStringLiteral("/new.lang");
    }

    COptionsPanel5& openEditor() {
        open();
        dialog->ToggleHiddenPages();
        dialog->SwitchPage(COptionsDialog::kEditorPage);
        return dialog->EditorPage();
    }
    // The service on the stub, with French chosen, and three data rows.
    COptionsPanel5& openWithService() {
        prefs.SetString(QStringLiteral("LangPack:BabelfishURL"),
                        server.BaseUrl() + QStringLiteral("/babelfish"));
        prefs.SetString(QStringLiteral("LangPack:BabelfishLanguagesURL"),
                        server.BaseUrl() + QStringLiteral("/languages"));
        server.Script("/languages", html(kLanguagePage));
        COptionsPanel5& editor = openEditor();
        QComboBox& combo = editor.LanguageCombo(COptionsPanel5::kBabelfish);
        combo.setCurrentIndex(combo.findText(QStringLiteral("French")));
        shrinkTo(editor, 3);
        server.ClearRequests();
        return editor;
    }
    void shrinkTo(COptionsPanel5& editor, int rows) {
        editor.Grid().SetRowCount(rows + 1);
        for (int row = 1; row <= rows; ++row) {
            editor.Grid().SetItemText(row, col(u"built-in"), QStringLiteral("Text %1").arg(row));
        }
    }
    int col(QStringView id) { return dialog->EditorPage().ColumnOf(id.toString()); }
    QString cell(int row, QStringView id) {
        return dialog->EditorPage().Grid().GetItemText(row, col(id));
    }
    void setCell(int row, QStringView id, const QString& text) {
        dialog->EditorPage().Grid().SetItemText(row, col(id), text);
    }
    std::vector<FakeVelnixServer::Request> translations() {
        std::vector<FakeVelnixServer::Request> found;
        for (const auto& request : server.Requests()) {
            if (request.path == "/babelfish") {
                found.push_back(request);
            }
        }
        return found;
    }

    FakeVelnixServer server;
    QString packPath;
};

TEST_F(LangPackEditorTest, ListsEveryBuiltInTextBesideThePack) {
    QFile file(packPath);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    const QString text = QStringLiteral("World View=Vue du monde\n");
    file.write(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    file.close();
    COptionsPanel5& editor = openEditor();
    CLangPack builtIn;
    builtIn.LoadBuiltIn();
    EXPECT_EQ(editor.Grid().GetRowCount(), builtIn.Count() + 1);
    EXPECT_EQ(editor.Grid().GetColumnCount(), 5);
    EXPECT_EQ(editor.Grid().GetItemText(0, col(u"this-tx")), QStringLiteral("LanguagePack"));
    EXPECT_EQ(editor.Grid().GetPrefKeyBase(), QStringLiteral("grid:LangPackEditor"));
    const int row = editor.Grid().FindRowByText(col(u"string"), QStringLiteral("World View"));
    ASSERT_GT(row, 0);
    EXPECT_EQ(cell(row, u"this-tx"), QStringLiteral("Vue du monde"));
    EXPECT_EQ(editor.FileEdit().text(), packPath);
    // Without addresses the services stay off and nothing is fetched.
    EXPECT_FALSE(editor.TranslateAllButton(COptionsPanel5::kBabelfish).isEnabled());
    EXPECT_FALSE(editor.LanguageCombo(COptionsPanel5::kGoogle).isEnabled());
    editor.MachineTranslate(COptionsPanel5::kBabelfish, true);
    EXPECT_TRUE(server.Requests().empty());
    EXPECT_TRUE(optionsSite->boxes.isEmpty());
}

TEST_F(LangPackEditorTest, SavesTranslationsWithLineBreaksAsMarksAndLeavesOutUnwritableNames) {
    COptionsPanel5& editor = openEditor();
    shrinkTo(editor, 4);
    setCell(1, u"string", QStringLiteral("Line one\nLine two"));
    setCell(1, u"this-tx", QStringLiteral("Eins\r\nZwei"));
    setCell(2, u"string", QStringLiteral("Empty"));
    setCell(3, u"string", QStringLiteral("a=b"));
    setCell(4, u"string", QStringLiteral("Plain"));
    setCell(4, u"this-tx", QStringLiteral("Schlicht"));
    editor.CopyReferenceCell(4, col(u"string"));
    EXPECT_FALSE(editor.IsEdited()) << "a double-click outside the references copies nothing";
    setCell(4, u"ref1", QStringLiteral("Einfach"));
    editor.CopyReferenceCell(4, col(u"ref1"));
    EXPECT_TRUE(editor.IsEdited());

    QTest::mouseClick(&dialog->ApplyButton(), Qt::LeftButton);
    EXPECT_FALSE(editor.IsEdited());
    EXPECT_TRUE(optionsSite->boxes.isEmpty()) << optionsSite->boxes.join(u'|').toStdString();
    const QString written = packText(packPath);
    EXPECT_TRUE(written.contains(QStringLiteral("\nLine one<br>Line two=Eins<br>Zwei\n")));
    EXPECT_TRUE(written.contains(QStringLiteral("\nEmpty=Text 2\n"))) << "the built-in text";
    EXPECT_TRUE(written.contains(QStringLiteral("\nPlain=Einfach\n")));
    EXPECT_FALSE(written.contains(QStringLiteral("a=b")));

    CLangPack loaded;
    ASSERT_EQ(loaded.Load(packPath), 1);
    EXPECT_EQ(loaded.Lookup(QStringLiteral("Line one\nLine two")), QStringLiteral("Eins<br>Zwei"));
    QString shown = QStringLiteral("Line one\nLine two");
    loaded.TranslateText(shown, 0);
    EXPECT_TRUE(shown.startsWith(u"Eins\r\n") || shown.startsWith(u"Eins\n")) << "a line break";
    EXPECT_TRUE(shown.endsWith(u"\nZwei"));
}

TEST_F(LangPackEditorTest, LookingAroundWritesNothingAndACancelledSaveLeavesTheFile) {
    COptionsPanel5& editor = openEditor();
    CMyGrid& grid = editor.Grid();
    grid.EnsureVisible(2, 1);
    QRect rect;
    ASSERT_TRUE(grid.GetCellRect(2, 1, rect));
    QTest::mouseClick(&grid, Qt::LeftButton, {}, rect.center());
    QTest::mouseDClick(&grid, Qt::LeftButton, {}, rect.center());
    QTest::keyClick(&grid, Qt::Key_Down);
    QTest::mouseClick(&dialog->ApplyButton(), Qt::LeftButton);
    EXPECT_FALSE(QFile::exists(packPath));

    // A translation copied from a reference column counts as an edit.
    setCell(2, u"ref1", QStringLiteral("Kopie"));
    grid.SetSelectedRange(2, 0, 2, 4, true);
    editor.OnCommand(COptionsPanel5::kCopyBabelfish);
    EXPECT_EQ(cell(2, u"this-tx"), QStringLiteral("Kopie"));
    ASSERT_TRUE(editor.IsEdited());

    // The user presses the progress dialog's Cancel while the rows are stepped.
    QTimer::singleShot(0, &editor, [&editor] {
        ASSERT_NE(editor.Progress().Dialog(), nullptr);
        QTest::mouseClick(editor.Progress().Dialog()->CancelButton(), Qt::LeftButton);
    });
    EXPECT_FALSE(editor.SaveLanguagePack());
    EXPECT_FALSE(QFile::exists(packPath));
    EXPECT_TRUE(editor.IsEdited());
    EXPECT_FALSE(editor.Progress().IsActive());
}

TEST_F(LangPackEditorTest, OnlyThePacksColumnTakesTypedTranslations) {
    COptionsPanel5& editor = openEditor();
    shrinkTo(editor, 2);
    CMyGrid& grid = editor.Grid();
    // A click on the cell, then F2 opens the cell's editor (typed letters
    // search the data grid).
    const auto typeInto = [&grid](int row, int column, const QString& text) {
        grid.EnsureVisible(row, column);
        QRect rect;
        ASSERT_TRUE(grid.GetCellRect(row, column, rect));
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, rect.center());
        QTest::keyClick(&grid, Qt::Key_F2);
        if (QTest::qWaitFor([&grid] { return grid.GetInPlaceEdit() != nullptr; }, 1000)) {
            grid.GetInPlaceEdit()->selectAll();
            QTest::keyClicks(grid.GetInPlaceEdit(), text);
            QTest::keyClick(grid.GetInPlaceEdit(), Qt::Key_Return);
        }
    };
    const QString before = cell(1, u"string");
    typeInto(1, col(u"string"), QStringLiteral("Changed"));
    EXPECT_EQ(cell(1, u"string"), before);
    EXPECT_FALSE(editor.IsEdited());
    typeInto(1, col(u"this-tx"), QStringLiteral("Neu"));
    EXPECT_EQ(cell(1, u"this-tx"), QStringLiteral("Neu"));
    EXPECT_TRUE(editor.IsEdited());
    QTest::mouseClick(&dialog->OkButton(), Qt::LeftButton);
    EXPECT_TRUE(packText(packPath).contains(QStringLiteral("=Neu\n")));
}

TEST_F(LangPackEditorTest, TheTranslateItemsNeedAClickInTheBuiltInColumn) {
    COptionsPanel5& editor = openWithService();
    for (int column = 0; column < 5; ++column) {
        std::unique_ptr<QMenu> owner;
        QMenu* menu = editor.BuildContextMenu(1, column);
        ASSERT_NE(menu, nullptr);
        owner.reset(qobject_cast<QMenu*>(menu->parentWidget()));
        const bool enabled = column == 1;
        EXPECT_EQ(FindMenuCommand(menu, COptionsPanel5::kTranslateBabelfish)->isEnabled(), enabled);
        // The second service has no address.
        EXPECT_FALSE(FindMenuCommand(menu, COptionsPanel5::kTranslateGoogle)->isEnabled());
    }
    EXPECT_EQ(editor.BuildContextMenu(0, 1), nullptr);
}

TEST_F(LangPackEditorTest, ExportsTheSelectedRowsOrAllAsCsv) {
    COptionsPanel5& editor = openEditor();
    shrinkTo(editor, 3);
    setCell(2, u"string", QStringLiteral("Second"));
    editor.Grid().SetSelectedRange(2, 0, 2, 4, true);
    const QString selected = root() + QStringLiteral("/selected.csv");
    optionsSite->chosenFile = selected;
    editor.OnCommand(COptionsPanel5::kExportSelected);
    const QString written = QString::fromUtf8(readFile(selected));
    EXPECT_TRUE(written.contains(QStringLiteral("Second"))) << written.toStdString();
    EXPECT_FALSE(written.contains(QStringLiteral("Text 1")));
    const QString all = root() + QStringLiteral("/all.csv");
    optionsSite->chosenFile = all;
    editor.OnCommand(COptionsPanel5::kExportAll);
    EXPECT_TRUE(QString::fromUtf8(readFile(all)).contains(QStringLiteral("Text 3")));
}

TEST_F(LangPackEditorTest, TheLanguagePageGivesNamesAndCodes) {
    COptionsPanel5& editor = openWithService();
    QComboBox& combo = editor.LanguageCombo(COptionsPanel5::kBabelfish);
    ASSERT_EQ(combo.count(), 3);
    EXPECT_EQ(combo.itemText(0), QString()) << "choosing nothing";
    EXPECT_EQ(combo.itemText(1), QStringLiteral("French"));
    EXPECT_EQ(combo.itemData(1).toString(), QStringLiteral("en_fr"));
    EXPECT_EQ(combo.itemText(2), QStringLiteral("Chinese (Simplified)"));
    EXPECT_EQ(combo.itemData(2).toString(), QStringLiteral("en_zh"));
}

TEST_F(LangPackEditorTest, TranslatesBlanksOrEveryRowThroughTheService) {
    server.Script("/babelfish", babelfishReply("Bonjour &amp; salut"));
    COptionsPanel5& editor = openWithService();
    setCell(1, u"this-tx", QStringLiteral("done"));
    setCell(2, u"built-in", QStringLiteral("Save & exit #1 + \u00FC"));
    QTest::mouseClick(&editor.TranslateBlanksButton(COptionsPanel5::kBabelfish), Qt::LeftButton);
    const auto blanks = translations();
    ASSERT_EQ(blanks.size(), 2u);
    EXPECT_EQ(queryValue(blanks[0].query, "urltext"), QStringLiteral("Save & exit #1 + \u00FC"));
    EXPECT_EQ(queryValue(blanks[0].query, "lp"), QStringLiteral("en_fr"));
    EXPECT_EQ(queryValue(blanks[0].query, "doit"), QStringLiteral("done"));
    EXPECT_EQ(cell(1, u"ref1"), QString());
    EXPECT_EQ(cell(2, u"ref1"), QStringLiteral("Bonjour & salut"));
    EXPECT_EQ(cell(3, u"ref1"), QStringLiteral("Bonjour & salut"));
    EXPECT_EQ(cell(0, u"ref1"), QStringLiteral("Babelfish\n\r(French)"));
    EXPECT_FALSE(editor.IsEdited()) << "references are not the pack";

    server.ClearRequests();
    QTest::mouseClick(&editor.TranslateAllButton(COptionsPanel5::kBabelfish), Qt::LeftButton);
    EXPECT_EQ(translations().size(), 3u);
    EXPECT_TRUE(optionsSite->boxes.isEmpty());
}

TEST_F(LangPackEditorTest, ARunStopsAtTheFirstFailure) {
    server.Script("/babelfish", html("<html>no translation here</html>"));
    COptionsPanel5& editor = openWithService();
    QTest::mouseClick(&editor.TranslateAllButton(COptionsPanel5::kBabelfish), Qt::LeftButton);
    EXPECT_EQ(translations().size(), 1u);
    const QString debugFile = Getlocalsettingsdir() + QStringLiteral("/DebugMe.txt");
    ASSERT_EQ(optionsSite->boxes.size(), 1);
    EXPECT_TRUE(optionsSite->boxes[0].startsWith(
        QStringLiteral("[LangPack-WIP] Could not parse web page:\n") + server.BaseUrl()));
    EXPECT_TRUE(optionsSite->boxes[0].endsWith(QStringLiteral("\n(saved to ") + debugFile +
                                               QStringLiteral(" for debugging)")));
    EXPECT_EQ(readFile(debugFile), QByteArray("<html>no translation here</html>"));
    EXPECT_EQ(cell(1, u"ref1"), QStringLiteral("Text 1")) << "the untranslated text";
    EXPECT_EQ(cell(2, u"ref1"), QString());

    // An unreachable service.
    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost));
    const QString unreachable =
        QStringLiteral("http://127.0.0.1:%1/babelfish").arg(closed.serverPort());
    closed.close();
    prefs.SetString(QStringLiteral("LangPack:BabelfishURL"), unreachable);
    optionsSite->boxes.clear();
    setCell(1, u"ref1", QString());
    QTest::mouseClick(&editor.TranslateAllButton(COptionsPanel5::kBabelfish), Qt::LeftButton);
    ASSERT_EQ(optionsSite->boxes.size(), 1);
    EXPECT_TRUE(optionsSite->boxes[0].startsWith(QStringLiteral("[LangPack-WIP] Could not load page: ") +
                                                 unreachable + QStringLiteral("?doit=done")));
    EXPECT_EQ(cell(1, u"ref1"), QStringLiteral("Text 1"));
    EXPECT_EQ(cell(2, u"ref1"), QString());
}

TEST_F(LangPackEditorTest, TranslatingTheSelectionTriesEveryRowAndKeepsFailedCells) {
    server.Script("/babelfish", babelfishReply("Bonjour"));
    server.Script("/babelfish", "doit=done&intl=1&lp=en_fr&urltext=Text+2",
                  html("<html>changed page</html>"));
    COptionsPanel5& editor = openWithService();
    setCell(2, u"ref1", QStringLiteral("kept"));
    editor.Grid().SetSelectedRange(1, 0, 3, 4, true);
    editor.OnCommand(COptionsPanel5::kTranslateBabelfish);
    EXPECT_EQ(translations().size(), 3u);
    EXPECT_EQ(cell(1, u"ref1"), QStringLiteral("Bonjour"));
    EXPECT_EQ(cell(2, u"ref1"), QStringLiteral("kept"));
    EXPECT_EQ(cell(3, u"ref1"), QStringLiteral("Bonjour"));
    ASSERT_EQ(optionsSite->boxes.size(), 1);
    EXPECT_TRUE(optionsSite->boxes[0].startsWith(u"[LangPack-WIP] Could not parse web page:"));
}

TEST_F(LangPackEditorTest, ACancelStopsTheRunWhileTheServiceHoldsItsReply) {
    FakeVelnixServer::Reply held = babelfishReply("Bonjour");
    held.chunks = {"<html><td bgcolor=white class=s>", "<div style=padding:10px;>Bonjour</div></td>"};
    held.holdChunks = true;
    server.Script("/babelfish", held);
    COptionsPanel5& editor = openWithService();
    int ticks = 0;
    QTimer watcher;
    watcher.setInterval(5);
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        // The UI thread keeps handling events while the service holds its reply.
        ++ticks;
        CProgressDialog* progress = editor.Progress().Dialog();
        if (!translations().empty() && ticks > 3 && progress != nullptr &&
            progress->CancelButton()->isEnabled()) {
            QTest::mouseClick(progress->CancelButton(), Qt::LeftButton);
        }
    });
    watcher.start();
    editor.MachineTranslate(COptionsPanel5::kBabelfish, true);
    watcher.stop();
    server.ReleaseChunks(1);
    EXPECT_GT(ticks, 3);
    EXPECT_EQ(translations().size(), 1u);
    EXPECT_EQ(cell(2, u"ref1"), QString());
    EXPECT_FALSE(editor.Progress().IsActive());
}

TEST_F(LangPackEditorTest, AskForALanguageFirst) {
    COptionsPanel5& editor = openWithService();
    editor.LanguageCombo(COptionsPanel5::kBabelfish).setCurrentIndex(0);
    QTest::mouseClick(&editor.TranslateAllButton(COptionsPanel5::kBabelfish), Qt::LeftButton);
    EXPECT_EQ(optionsSite->boxes, QStringList{QStringLiteral("Pick a language.")});
    EXPECT_TRUE(translations().empty());
}

TEST(WebTranslationTest, LanguageOptionsAndCharacterReferences) {
    std::vector<LanguageOption> options{{QStringLiteral("Spanish"), QStringLiteral("en|es")}};
    const QString page = QStringLiteral(
        "<option value=\"en|es\">English to Spanish</option>\t<option value=\"en|ja\">Japanese"
        "</option><option value=\"fr|en\">French</option>");
    EXPECT_EQ(ParseLanguageOptions(page, QStringLiteral("en|"), options, {}), 1);
    ASSERT_EQ(options.size(), 2u);
    EXPECT_EQ(options[1].label, QStringLiteral("Japanese"));
    EXPECT_EQ(options[1].code, QStringLiteral("en|ja"));
    EXPECT_EQ(ParseLanguageOptions(page, QStringLiteral("en|"), options, [] { return true; }), 0);

    EXPECT_EQ(DecodeHtmlText(QStringLiteral("a &amp;lt; &#233;&#xE9; &quot;q&quot; &bogus; &#0;")),
              QStringLiteral("a &lt; \u00E9\u00E9 \"q\" &bogus; &#0;"));
}

}  // namespace
