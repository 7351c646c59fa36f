// The cell formatter's tokens: display text, value kind and sort value,
// alignment, header against data cells, row colours; and CompareCells.

#include "grid/cellformatter.h"
#include "framework/klog.h"
#include "gridctrl/gridcell.h"
#include "gridctrl/gridfixture.h"
#include "mygridfixture.h"
#include "settings/datetimeformat.h"
#include "support/temphome.h"

#include <cstdlib>
#include <ctime>
#include <memory>

namespace {

struct Formatted {
    GridItemInfo item;
    std::unique_ptr<CellValue> value;
    QString text() const { return item.strText; }
    std::uint32_t kind() const { return value ? value->kind : 0u; }
};

}  // namespace

class CellFormatterTest : public TempHomeTest {
protected:
    void SetUp() override {
        TempHomeTest::SetUp();
        kInit(QStringLiteral("grid"), tempFolder() + QStringLiteral("/f.log"),
              tempFolder() + QStringLiteral("/f.dbg"), 0);
        m_savedTz = qgetenv("TZ");
        setZone("UTC0");
    }
    void TearDown() override {
        setZone(m_savedTz);
        TempHomeTest::TearDown();
    }
    static void setZone(const QByteArray& zone) {
        if (zone.isEmpty()) {
            qunsetenv("TZ");
        } else {
            qputenv("TZ", zone);
        }
        tzset();
    }

    Formatted format(const char* props, const QString& text, int row = 1, unsigned flags = 0,
                     CMyGrid* grid = nullptr) {
        m_column.Clear();
        m_column.AppendProps(QString::fromUtf8(props));
        Formatted result;
        result.item.row = row;
        QString raw = text;
        EXPECT_EQ(FormatCell(m_column, result.item, raw, m_style, flags, grid), 1);
        result.value.reset(reinterpret_cast<CellValue*>(result.item.lParam));
        return result;
    }

    GridColumn m_column;
    CellFormatStyle m_style;
    QByteArray m_savedTz;
};

TEST_F(CellFormatterTest, ValueTokensOfDataCells) {
    struct Case {
        const char* props;
        const char16_t* raw;
        const char16_t* shown;
        std::uint32_t kind;
        qint64 integer;
        unsigned alignment;
    };
    const std::vector<Case> cases = {
        {"[BYTES]", u"1536", u"1536 B", 'I', 1536, DT_RIGHT},
        {"[BYTES]", u"3072", u"3 KB", 'I', 3072, DT_RIGHT},
        {"[BYTES]", u"", u"", 'I', 0, DT_RIGHT},
        {"[KBYTES]", u"1", u"1024 B", 'I', 1, DT_RIGHT},
        {"[KBYTES]", u"2048", u"2 MB", 'I', 2048, DT_RIGHT},
        {"[SECS]", u"0", u"1 sec", 'I', 0, DT_CENTER},
        {"[DEVSP]", u"0", u" ", 'I', 0, DT_CENTER},
        {"[DEVSP]", u"1000000:512000", u"1M:512K", 'I', 1000000, DT_CENTER},
        {"[N]", u"42", u"42", 'I', 42, DT_RIGHT},
        {"[N]", u"n/a", u"n/a", 'C', 0x0FFFFFFFFFFFFFFFLL, DT_RIGHT},
        {"[MODE]", u"16877", u"drwxr-xr-x-", 'I', 16877, DT_CENTER},
        {"[ET]", u"0-1:2:3", u"01:02:03", 'I', 3723, DT_LEFT},
        {"[ET]", u"2-26:00:00", u"3-02:00:00", 'I', 266400, DT_LEFT},
        {"[CASE]", u"Abc", u"Abc", 'C', 0, DT_LEFT},
        {"[L]", u"plain", u"plain", 0, 0, DT_LEFT},
        {"[R][N]", u"7", u"7", 'I', 7, DT_RIGHT},
        {"[C]", u"mid", u"mid", 0, 0, DT_CENTER},
        {"[DS]", u"46800", u"01:00 PM", 'I', 46800, DT_LEFT},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.props) + " " + QString::fromUtf16(c.raw).toStdString());
        const Formatted f = format(c.props, QString::fromUtf16(c.raw));
        EXPECT_EQ(f.text(), QStringView(c.shown));
        EXPECT_EQ(f.kind(), c.kind);
        if (f.value && c.kind == 'I') {
            EXPECT_EQ(f.value->integer, c.integer);
        }
        if (f.value && c.kind == 'C' && c.integer != 0) {
            EXPECT_EQ(f.value->integer, c.integer);
        }
        EXPECT_EQ(f.item.nFormat & (DT_CENTER | DT_RIGHT), c.alignment);
        EXPECT_EQ(f.item.nFormat & DT_VCENTER, unsigned(DT_VCENTER));
    }
}

TEST_F(CellFormatterTest, RealTokensAndNonNumbers) {
    const Formatted poll = format("[POLLRATE]", QStringLiteral("-5"));
    EXPECT_EQ(poll.text(), u"5 min*");
    EXPECT_EQ(poll.kind(), std::uint32_t('D'));
    const Formatted plain = format("[POLLRATE]", QStringLiteral("5"));
    EXPECT_LT(poll.value->real, plain.value->real);  // sorts just before a plain 5

    const Formatted real = format("[D]", QStringLiteral("2.5"));
    EXPECT_EQ(real.kind(), std::uint32_t('D'));
    EXPECT_DOUBLE_EQ(real.value->real, 2.5);
    const Formatted notReal = format("[D]", QStringLiteral("none"));
    EXPECT_EQ(notReal.kind(), std::uint32_t('C'));
    EXPECT_DOUBLE_EQ(notReal.value->real, 1152921504606846976.0);

    const Formatted hours = format("[DATAHOURS]", QStringLiteral("1"));
    EXPECT_EQ(hours.text(), FormatSeconds(3600, 1));
    const Formatted mins = format("[MINS]", QStringLiteral("2"));
    EXPECT_EQ(mins.text(), FormatSeconds(120, 2));
}

TEST_F(CellFormatterTest, AddressesIconsAndDates) {
    const Formatted address = format("[IP]", QStringLiteral("10.0.0.1:80"));
    EXPECT_EQ(address.kind(), std::uint32_t('S'));
    EXPECT_EQ(address.value->sortText, u"0A0000010050");
    const struct {
        const char16_t* text;
        const char16_t* key;
    } keys[] = {
        {u"999.1", u"FF0100000000"},
        {u"", u"000000000000"},
        {u"::", u"000000000000"},
        {u"192.168.1.254", u"C0A801FE0000"},
        {u" 1 . 2 .3.4: 65536", u"0102030410000"},
        {u"-1.300.a.4:-1", u"00FF0004FFFFFFFF"},
        {u"1.2.3.4.5.6", u"010203040005"},
        {u"1..3", u"010003000000"},
    };
    for (const auto& [text, key] : keys) {
        EXPECT_EQ(MakeAddressSortKey(text), QStringView(key))
            << QStringView(text).toString().toStdString();
    }

    m_style.folderImage = 2;
    m_style.fileImage = 1;
    const Formatted folder = format("[L][ICON]", QStringLiteral("logs/"));
    EXPECT_EQ(folder.value->sortText, u"!!logs/");
    EXPECT_EQ(folder.item.iImage, 2);
    EXPECT_TRUE(folder.item.crBkClr.IsDefault());
    EXPECT_EQ(format("[ICON]", QStringLiteral("a.txt")).item.iImage, 1);

    const Formatted negative = format("[U]", QStringLiteral("-5"));
    const Formatted shownInstead = format("[U]", QStringLiteral("2082690000"));
    EXPECT_EQ(negative.text(), shownInstead.text());
    EXPECT_EQ(negative.value->integer, -5);
    EXPECT_EQ(format("[U]", QStringLiteral("0")).text(), u"0");
}

TEST_F(CellFormatterTest, HeaderCellsAreAlignedAndColouredButNotRewritten) {
    const Formatted head = format("[BYTES][R]", QStringLiteral("Size"), 0, kRowWarning);
    EXPECT_EQ(head.text(), u"Size");
    EXPECT_EQ(head.item.nFormat & (DT_RIGHT | DT_BOTTOM), unsigned(DT_RIGHT | DT_BOTTOM));
    EXPECT_EQ(head.item.crBkClr, m_style.headBack);
    EXPECT_EQ(head.item.crFgClr, m_style.headFore);
    const Formatted twoLines = format("", QStringLiteral("Two<br>lines"), 0);
    EXPECT_EQ(twoLines.text(), u"Two\r\nlines");
    EXPECT_NE(twoLines.item.nFormat & DT_WORDBREAK, 0u);
}

TEST_F(CellFormatterTest, RowFlagsColourDataCellsAndFillEmptyOnes) {
    struct Case {
        unsigned flags;
        GridColour back;
        GridColour fore;
    };
    const std::vector<Case> cases = {
        {0, m_style.cellBack, m_style.cellFore},
        {kRowDisabled, m_style.disabledBack, m_style.disabledFore},
        {kRowInactive, m_style.disabledBack, m_style.disabledFore},
        {kRowHighlighted, m_style.highlightedBack, m_style.highlightedFore},
        {kRowWarning, m_style.warningBack, m_style.warningFore},
        {kRowError, m_style.errorBack, m_style.errorFore},
    };
    CMyGrid grid;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flags);
        const Formatted f = format("", {}, 1, c.flags, &grid);
        EXPECT_EQ(f.item.crBkClr, c.back);
        EXPECT_EQ(f.item.crFgClr, c.fore);
        EXPECT_EQ(f.text(), c.flags != 0 ? u" " : u"");
    }
    EXPECT_EQ(GridRowFlagsOf(u"warning"), unsigned(kRowWarning));
    EXPECT_EQ(GridRowFlagsOf(u"x"), 0u);
    EXPECT_EQ(GridRowFlagsOf(u""), 0u);
}

TEST_F(CellFormatterTest, ClockTokensGiveWayToRightAlignment) {
    m_style.timeFormat = QStringLiteral("%H:%M");
    const Formatted right = format("[R][TIME]", QStringLiteral("3600"));
    EXPECT_EQ(right.text(), u"3600");
    EXPECT_NE(right.item.nFormat & DT_RIGHT, 0u);
    const Formatted clock = format("[TIME]", QStringLiteral("3600.5"));
    EXPECT_EQ(clock.text(), u"01:00");
    EXPECT_EQ(clock.value->integer, 36000);
    const Formatted job = format("[JOBTIME]", QStringLiteral("3660.1"));
    EXPECT_EQ(job.text(), u"01:01 TZ");
    EXPECT_EQ(job.value->integer, 61 * 600 + 591);
}

TEST_F(CellFormatterTest, CompareCellsBothWays) {
    struct Pair {
        const char* props;
        const char16_t* a;
        const char16_t* b;
        int expected;  // sign of A against B
    };
    const std::vector<Pair> pairs = {
        {"[BYTES]", u"2147483648", u"536870912", 1},
        {"[N]", u"10", u"9", 1},
        {"[N]", u"5", u"n/a", -1},
        {"[ICON]", u"zeta/", u"alpha", -1},
        {"[ICON]", u"alpha", u"zeta/", 1},
        {"[IP]", u"10.0.0.2", u"9.0.0.1", 1},
        {"[CASE]", u"a", u"B", 1},
        {"", u"a", u"B", -1},
        {"[D]", u"1.5", u"1.5", 0},
    };
    for (const Pair& p : pairs) {
        SCOPED_TRACE(std::string(p.props) + " " + QString::fromUtf16(p.a).toStdString());
        auto cellOf = [&](const char16_t* text) {
            auto cell = std::make_unique<CGridCell>();
            Formatted f = format(p.props, QString::fromUtf16(text));
            cell->SetText(f.text());
            cell->SetData(reinterpret_cast<qintptr>(f.value.release()));
            return cell;
        };
        const auto a = cellOf(p.a);
        const auto b = cellOf(p.b);
        const int forward = CompareCells(a.get(), b.get(), 0);
        EXPECT_EQ((forward > 0) - (forward < 0), p.expected);
        if (p.props != std::string("[N]")) {
            const int backward = CompareCells(b.get(), a.get(), 0);
            EXPECT_EQ((backward > 0) - (backward < 0), -p.expected);
        }
        delete reinterpret_cast<CellValue*>(a->GetData());
        delete reinterpret_cast<CellValue*>(b->GetData());
    }
    EXPECT_EQ(CompareCells(nullptr, nullptr, 0), 0);
}

TEST_F(CellFormatterTest, ElapsedTimes) {
    QString shown;
    EXPECT_EQ(ParseElapsedTime(u"1:00:05", shown), 3605);
    EXPECT_EQ(shown, u"01:00:05");
    EXPECT_EQ(ParseElapsedTime(u"1-0:0:0", shown), 86400);
    EXPECT_EQ(shown, u"1-00:00:00");
}

// A job at 23:30 UTC on New Year's Eve is on New Year's Day ten hours east:
// the local date is later, so the day list moves forward, although the day
// of the year (1 against 365) is smaller.
TEST_F(CellFormatterTest, JobTimeDaysMoveWithTheDateAcrossNewYear) {
    setZone("XYZ-10");
    struct Case {
        const char16_t* days;
        const char16_t* moved;
    };
    const std::vector<Case> cases = {
        {u"M,W", u"Tu,Th "},
        {u"Sa", u"Su "},
        {u"Monthly on Day 30", u"Monthly on Day 1"},
        {u"Daily", u"Daily"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.days).toStdString());
        CMyGrid grid;
        grid.SetSavePrefsOnReset(false);
        grid.BeginLoad();
        grid.SetColumnCount(2);
        grid.SetRowCount(2);
        grid.SetFixedRowCount(1);
        grid.AddColumn(QStringLiteral("Days"), QStringLiteral("Days"), {});
        grid.AddColumn(QStringLiteral("At"), QStringLiteral("At"), QStringLiteral("[JOBTIME]"));
        grid.SetupColumn(1);
        grid.SetupColumn(2);
        grid.SetCellText(1, 1, QString::fromUtf16(c.days));
        // 2025-12-31 23:30 UTC.
        grid.SetCellText(1, 2, QStringLiteral("1767223800"));
        EXPECT_EQ(grid.GetItemText(1, 0), QStringView(c.moved));
    }
    setZone("XYZ+10");
    CMyGrid west;
    west.SetSavePrefsOnReset(false);
    west.BeginLoad();
    west.SetColumnCount(2);
    west.SetRowCount(2);
    west.AddColumn(QStringLiteral("Days"), QStringLiteral("Days"), {});
    west.AddColumn(QStringLiteral("At"), QStringLiteral("At"), QStringLiteral("[JOBTIME]"));
    west.SetupColumn(1);
    west.SetupColumn(2);
    west.SetCellText(1, 1, QStringLiteral("M,W"));
    // 2026-01-01 05:00 UTC is New Year's Eve ten hours west: back a day.
    west.SetCellText(1, 2, QStringLiteral("1767243600"));
    EXPECT_EQ(west.GetItemText(1, 0), u"Su,Tu ");
}
