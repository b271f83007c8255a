#include "setup/FinancialYear.h"

#include "context/BookStores.h"
#include "db/DbError.h"
#include "db/Query.h"
#include "db/Transaction.h"
#include "setup/FinancialYears.h"
#include "standard/DatePicker.h"
#include "standard/LabeledEdit.h"
#include "standard/Standard.h"
#include "standard/StringGrid.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>

namespace {
EditDialogDesign financialYearDesign()
{
    EditDialogDesign d;
    d.name = QStringLiteral("frmFinancialYear");
    d.caption = TfrmFinancialYear::NewCaption;
    d.clientSize = {618, 498};
    d.groupName = QStringLiteral("gbFinancialYearInformation");
    d.groupCaption = QStringLiteral("Financial Year Information");
    d.groupRect = {8, 8, 201, 65};
    d.okRect = {526, 463, 75, 25};
    return d;
}

// Rows 1 to 18 as the grid shows a year's periods: the periods not deleted, by number.
QList<PeriodRow> livePeriods(const QList<FinancialPeriodRecord>& periods)
{
    QList<PeriodRow> rows(MaxPeriods);
    for (const FinancialPeriodRecord& period : periods) {
        if (period.number < 1 || period.number > MaxPeriods || period.deleted != QLatin1String("No"))
            continue;
        rows[period.number - 1] = PeriodRow{DateToMyString(period.startDate), DateToMyString(period.endDate),
            period.description, period.open};
    }
    return rows;
}

// Whether an edited year, from its period 1 to period lastRow, now reaches into another
// year of the company (its periods that are not deleted): the refusal at the cell that
// does so. Locking, inside the save, it waits for and then sees another workstation's
// change of those periods.
std::optional<PeriodRefusal> overlapWithOtherYears(
    int companyId, int yearId, const QList<PeriodRow>& rows, int lastRow, bool locking)
{
    const QDate start = MyStringToDate(rows[0].startDate), end = MyStringToDate(rows[lastRow - 1].endDate);
    const std::optional<QDate> firstDay
        = YearStore::firstOverlappingDay(companyId, yearId, start, end, locking);
    if (!firstDay)
        return std::nullopt;
    // Another year around the start: the start is wrong; one after it: the end reaches it.
    if (*firstDay <= start)
        return PeriodRefusal{StartDateColumn, 1,
            QStringLiteral("Period 1, \"Start Date\" falls in another financial year of the company.")};
    return PeriodRefusal{EndDateColumn, lastRow,
        QStringLiteral("Period %1, End Date falls in another financial year of the company.").arg(lastRow)};
}
}

TfrmFinancialYear::TfrmFinancialYear(QWidget* parent, TfrmFinancialYears* list)
    : EditDialog(financialYearDesign(), EditCaption, parent), gbFinancialYearInformation(group()),
      edtFinancialYearDescription(addEdit(QStringLiteral("edtFinancialYearDescription"),
          QStringLiteral("Financial Year Description"), 8, 32, 185)),
      GroupBox1(
          addGroup(QStringLiteral("GroupBox1"), QStringLiteral("Automatic Complete"), {215, 8, 395, 65})),
      lblFirstDayOfFinancialYear(addLabel(GroupBox1, QStringLiteral("lblFirstDayOfFinancialYear"),
          QStringLiteral("First day of financial year"), 8, 16)),
      dtpStartDate(named(new DatePicker(GroupBox1), "dtpStartDate")),
      btnCalculate(named(new QPushButton(QStringLiteral("Calculate"), GroupBox1), "btnCalculate")),
      gbFinancialPeriods(addGroup(
          QStringLiteral("gbFinancialPeriods"), QStringLiteral("Financial Periods"), {8, 79, 601, 378})),
      sg(named(new StringGrid(gbFinancialPeriods), "sg")), btnOk(okButton()), m_list(list)
{
    // The automatic part stands out on the tooltip background.
    GroupBox1->setAutoFillBackground(true);
    QPalette tip = GroupBox1->palette();
    tip.setColor(QPalette::Window, tip.color(QPalette::ToolTipBase));
    GroupBox1->setPalette(tip);
    lblFirstDayOfFinancialYear->setBuddy(dtpStartDate);
    dtpStartDate->setGeometry(8, 32, 186, dtpStartDate->sizeHint().height());
    btnCalculate->setGeometry(200, 30, 185, 25);

    setSaveKeyLookup([this] { return !isEditing() && YearStore::savedUnderKey(m_saveKey).has_value(); });
    sg->setGeometry(8, 16, 585, 353);
    sg->setDefaultColumnWidth(110);
    sg->setColumnCount(5);
    sg->setRowCount(MaxPeriods + 1);
    sg->setFixedCols(1);
    sg->setEditable(true);
    sg->setSelectionMode(QAbstractItemView::ContiguousSelection);
    sg->setShowGrid(true);

    connectGuarded(btnCalculate, &QPushButton::clicked, this, [this] { btnCalculateClick(); });
    FormCreate();

    // FormCreate: the titles, the numbers of column 0; every other cell starts empty.
    const QStringList titles{QStringLiteral("Period Number"), QStringLiteral("Start Date"),
        QStringLiteral("End Date"), QStringLiteral("Period Description"), QStringLiteral("Period Open")};
    for (int c = 0; c < titles.size(); ++c)
        sg->setCell(c, 0, titles[c]);
    // 80 as designed, wider where this system's font needs it for the title.
    const QFontMetrics header(sg->horizontalHeader()->font());
    sg->setColumnWidth(PeriodNumberColumn,
        std::max(80, header.horizontalAdvance(titles[0]) + 2 * header.averageCharWidth()));
    for (int n = 1; n <= MaxPeriods; ++n)
        sg->setCell(PeriodNumberColumn, n, QString::number(n));
}

void TfrmFinancialYear::LoadEdit()
{
    const QStringList yearColumns{
        QStringLiteral("financial year description"), QStringLiteral("last day of financial year")};
    const std::optional<FinancialYearRecord> year = YearStore::record(FinancialYearID);
    edtFinancialYearDescription->setText(year ? year->description : QString());
    CompanyID = year ? year->companyId : 0;
    setEditedRow(QStringLiteral("financial years"), FinancialYearID, yearColumns,
        rowTexts(QStringLiteral("financial years"), FinancialYearID, yearColumns, false)
            .value_or(QList<std::optional<QString>>(yearColumns.size())),
        QStringLiteral("Financial year"));
    m_loadedPeriods = livePeriods(YearStore::periodsOf(FinancialYearID, false));
    for (int n = 1; n <= MaxPeriods; ++n)
        for (int c = StartDateColumn; c <= OpenColumn; ++c)
            sg->setCell(c, n, m_loadedPeriods[n - 1].text(c));
}

void TfrmFinancialYear::btnCalculateClick()
{
    if (!Boodskap(QStringLiteral("Do you want to overwrite existing values?"), true))
        return;
    const QList<PeriodRow> periods = calculatePeriods(dtpStartDate->date());
    for (int n = 1; n <= periods.size(); ++n)
        for (int c = StartDateColumn; c <= OpenColumn; ++c)
            sg->setCell(c, n, periods[n - 1].text(c));
}

QList<PeriodRow> TfrmFinancialYear::Rows() const
{
    QList<PeriodRow> rows;
    for (int n = 1; n <= MaxPeriods; ++n)
        rows << PeriodRow{sg->cell(StartDateColumn, n), sg->cell(EndDateColumn, n),
            sg->cell(DescriptionColumn, n), sg->cell(OpenColumn, n)};
    return rows;
}

bool TfrmFinancialYear::refuseCell(const PeriodRefusal& refusal)
{
    sg->setCurrentCell(refusal.column, refusal.row);
    return refuse(sg, refusal.message);
}

bool TfrmFinancialYear::checkInput()
{
    // A description of spaces only would name nothing: it is refused as dead space, with
    // the message a too short one gets.
    const QString description = edtFinancialYearDescription->text();
    if (!ToetsText(edtFinancialYearDescription, 3, false, false, description.trimmed().isEmpty()))
        return false;
    // Unique within the company only; other companies may use the same description.
    std::optional<int> self;
    if (isEditing())
        self = FinancialYearID;
    if (YearStore::descriptionTaken(CompanyID, description, self))
        return refuse(
            edtFinancialYearDescription, QStringLiteral("Financial year description already exist."));

    // Only a new year follows the company's latest one; an existing year is not tested.
    std::optional<QDate> previousYearEnd;
    if (!isEditing())
        previousYearEnd = YearStore::latestYearEnd(CompanyID, false);
    const PeriodCheck check = checkPeriodRows(Rows(), previousYearEnd);
    if (check.refusal)
        return refuseCell(*check.refusal);
    m_lastRow = check.lastRow;
    if (isEditing())
        if (const auto overlap = overlapWithOtherYears(CompanyID, FinancialYearID, Rows(), m_lastRow, false))
            return refuseCell(*overlap);
    return true;
}

void TfrmFinancialYear::Save()
{
    const QList<PeriodRow> rows = Rows();
    const QString description = edtFinancialYearDescription->text();
    const bool editing = isEditing();
    const int lastRow = m_lastRow;
    int yearId = editing ? FinancialYearID : 0;
    auto yearSaved = [&] {
        // Asked when the reply to COMMIT was lost: a new year is in if its row is; an edited
        // one if the year and its periods read as this save wrote them.
        const std::optional<FinancialYearRecord> year = YearStore::record(yearId);
        if (!year)
            return false;
        if (!editing)
            return true;
        if (year->description != description || year->lastDay != MyStringToDate(rows[lastRow - 1].endDate))
            return false;
        QList<PeriodRow> written(MaxPeriods);
        for (int n = 1; n <= lastRow; ++n) {
            const PeriodRow& row = rows[n - 1];
            written[n - 1] = PeriodRow{DateToMyString(MyStringToDate(row.startDate)),
                DateToMyString(MyStringToDate(row.endDate)), row.description, row.open};
        }
        return livePeriods(YearStore::periodsOf(yearId, false)) == written;
    };
    const bool saved = SaveResult::Saved
        == saveInTransaction(
            [&](Transaction&) {
                // Every save of the company's years writes its row first: on one server the
                // saves wait for each other there; on a cluster, two saves on two nodes
                // collide on it and the second runs again, seeing the first.
                CompanyStore::countYearSave(CompanyID);
                if (!editing) {
                    // New years of one company are written one at a time: with the company
                    // row locked, the latest year read under lock stays the latest until
                    // this one is in.
                    CompanyStore::lock(CompanyID);
                    // Period 1 no longer fits when another workstation added a year
                    // since the checks ran.
                    const PeriodCheck again
                        = checkPeriodRows(rows, YearStore::latestYearEnd(CompanyID, true));
                    if (again.refusal)
                        throw SaveRefused{
                            nullptr, {}, [this, refusal = *again.refusal] { refuseCell(refusal); }};
                }
                if (editing) {
                    // Saves of one company's years take its row first, one at a time; then
                    // no other year can have moved into this one's dates since the checks.
                    CompanyStore::lock(CompanyID);
                    if (const auto overlap = overlapWithOtherYears(CompanyID, yearId, rows, lastRow, true))
                        throw SaveRefused{nullptr, {}, [this, refusal = *overlap] { refuseCell(refusal); }};
                }
                // Every period of the year, deleted ones too: matched by number, a period
                // keeps its row and id from save to save; nothing is ever removed.
                const QList<FinancialPeriodRecord> stored = YearStore::periodsOf(yearId, true);
                // The grid replaces every period: another user's change to them since the
                // dialog opened would be lost without a word.
                if (editing && livePeriods(stored) != m_loadedPeriods)
                    throw changedByAnotherUser();
                RowWriter year(QStringLiteral("financial years"));
                year.set(QStringLiteral("financial year description"), description)
                    .set(QStringLiteral("last day of financial year"),
                        MyStringToDate(rows[lastRow - 1].endDate));
                if (editing) {
                    year.update(yearId);
                } else {
                    year.set(QStringLiteral("company id"), CompanyID)
                        .set(QStringLiteral("save key"), m_saveKey);
                    yearId = year.insert();
                }
                for (int n = 1; n <= MaxPeriods; ++n) {
                    const auto found = std::find_if(stored.cbegin(), stored.cend(),
                        [n](const FinancialPeriodRecord& period) { return period.number == n; });
                    const bool exists = found != stored.cend();
                    RowWriter period(QStringLiteral("financial periods"));
                    if (n > lastRow) {
                        if (exists)
                            period.set(QStringLiteral("period deleted"), QStringLiteral("Yes"))
                                .update(found->id);
                        continue;
                    }
                    const PeriodRow& row = rows[n - 1];
                    period.set(QStringLiteral("financial year id"), yearId)
                        .set(QStringLiteral("period number"), n)
                        .set(QStringLiteral("start date"), MyStringToDate(row.startDate))
                        .set(QStringLiteral("end date"), MyStringToDate(row.endDate))
                        .set(QStringLiteral("period description"), row.description)
                        .set(QStringLiteral("period open"), row.open)
                        .set(QStringLiteral("period deleted"), QStringLiteral("No"));
                    if (exists)
                        period.update(found->id);
                    else
                        period.insert();
                }
            },
            yearSaved, QStringLiteral("Financial year could not be saved.  Please try again."));
    if (!saved)
        return; // refused with its message; the dialog stays open
    finish(yearId);
}

void TfrmFinancialYear::savedEarlier() { finish(YearStore::savedUnderKey(m_saveKey).value_or(0)); }

void TfrmFinancialYear::finish(int yearId)
{
    if (m_list)
        m_list->reloadAndSelect(QStringLiteral("id"), yearId);
    accept();
}
