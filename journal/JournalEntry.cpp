#include "journal/JournalEntry.h"

#include "app/Main.h"
#include "db/DbError.h"
#include "db/Query.h"
#include "db/Transaction.h"
#include "journal/JournalColumns.h"
#include "standard/DatePicker.h"
#include "standard/LabeledEdit.h"
#include "standard/Standard.h"
#include "standard/StringGrid.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <limits>

namespace {
SetupDialogDesign journalEntryDesign()
{
    SetupDialogDesign d;
    d.name = QStringLiteral("frmJournalEntry");
    d.caption = QStringLiteral("New Journal Entry");
    d.clientSize = {874, 534};
    d.groupName = QStringLiteral("gbJournalEntryDetails");
    d.groupCaption = QStringLiteral("Journal Entry Details");
    d.groupRect = {8, 8, 401, 105};
    d.okRect = {782, 503, 75, 25};
    return d;
}

QString periodMessage()
{
    return QStringLiteral("The journal entry date is not within the selected financial period.");
}
}

TfrmJournalEntry::TfrmJournalEntry(QWidget* parent)
    : SetupEditDialog(journalEntryDesign(), QString(), parent), gbJournalEntryDetails(group()),
      lblTransactionNumber(addLabel(gbJournalEntryDetails, QStringLiteral("lblTransactionNumber"),
          QStringLiteral("Journal Entry Number:"), 8, 16)),
      lblJE(addLabel(
          gbJournalEntryDetails, QStringLiteral("lblJE"), QStringLiteral("[To be assigned]"), 16, 35)),
      lblJournalEntryDate(addLabel(gbJournalEntryDetails, QStringLiteral("lblJournalEntryDate"),
          QStringLiteral("Journal Entry Date"), 200, 16)),
      dtpJournalEntryDate(named(new DatePicker(gbJournalEntryDetails), "dtpJournalEntryDate")),
      edtJournalEntryDescription(addEdit(QStringLiteral("edtJournalEntryDescription"),
          QStringLiteral("Journal Entry Description"), 8, 72, 378)),
      gbJournalEntryLines(addGroup(
          QStringLiteral("gbJournalEntryLines"), QStringLiteral("Journal Entry Lines"), {8, 119, 857, 378})),
      sg(named(new StringGrid(gbJournalEntryLines), "sg")),
      lblJournalTotal(addLabel(gbJournalEntryLines, QStringLiteral("lblJournalTotal"),
          QStringLiteral("Journal Total: 0"), 576, 359)),
      btnOK(okButton()), qrTransactions(new Query(this, QStringLiteral("qrTransactions")))
{
    btnOK->setObjectName(QStringLiteral("btnOK"));
    dtpJournalEntryDate->setGeometry(200, 32, 186, 21);
    sg->setGeometry(8, 16, 841, 337);
    sg->setDefaultColumnWidth(150);
    sg->setColumnCount(6);
    sg->setRowCount(MaxJournalLines + 1);
    sg->setFixedCols(3);
    sg->setEditable(true);
    sg->setSelectionMode(QAbstractItemView::ContiguousSelection);
    sg->setSelectionBehavior(QAbstractItemView::SelectItems);
    sg->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    lblJournalTotal->resize(265, lblJournalTotal->sizeHint().height());
    // Reading order: the date, the description, the lines, OK.
    setTabOrder(dtpJournalEntryDate, edtJournalEntryDescription);
    setTabOrder(edtJournalEntryDescription, sg);
    setTabOrder(sg, btnOK);
    connectGuarded(sg, &StringGrid::cellEdited, this,
        [this](int col, int row, const QString& text) { sgSetEditText(sg, col, row, text); });
    FormCreate(this);
}

void TfrmJournalEntry::FormCreate(QObject*)
{
    SetupEditDialog::FormCreate();
    const QStringList headings{QStringLiteral("Line nr"), QStringLiteral("Cost Centre Description"),
        QStringLiteral("Account Description"), QStringLiteral("Account number"),
        QStringLiteral("Line Description"), QStringLiteral("Amount")};
    sg->beginUpdate();
    for (int c = 0; c < headings.size(); ++c)
        sg->setCell(c, 0, headings[c]);
    for (int r = 1; r <= MaxJournalLines; ++r)
        sg->setCell(JE.LineNr, r, QString::number(r));
    sg->endUpdate();
    for (int c = 0; c < sg->columnCount(); ++c)
        sg->setColumnWidth(c, sg->defaultColumnWidth());
    sg->setColumnWidth(JE.LineNr, 50);

    // The company's accounts, once: every keystroke's lookup and the save read them here.
    m_companyId = frmMain->selectedCompanyId().value_or(-1);
    Query& accounts = *frmMain->qrAccounts;
    accounts.open(
        {QStringLiteral(
             "SELECT accounts.id, `account description`, `cost centre number`, `cost centre description`, "
             "`object number`"),
            QStringLiteral("FROM accounts, `cost centres`, objects, companies"), QStringLiteral("WHERE"),
            QStringLiteral("(`cost centres`.id = accounts.`cost centre id`)"),
            QStringLiteral("and (objects.id = accounts.`object id`)"),
            QStringLiteral("and (companies.id = `cost centres`.`company id`)"),
            QStringLiteral("and (companies.id = %1)").arg(m_companyId)});
    m_accounts.clear();
    const int id = accounts.fieldIndex(QStringLiteral("id"));
    const int account = accounts.fieldIndex(QStringLiteral("account description"));
    const int centre = accounts.fieldIndex(QStringLiteral("cost centre number"));
    const int centreText = accounts.fieldIndex(QStringLiteral("cost centre description"));
    const int object = accounts.fieldIndex(QStringLiteral("object number"));
    for (int r = 0; r < accounts.recordCount(); ++r)
        m_accounts.add({accounts.value(r, centre).toInt(), accounts.value(r, object).toInt()},
            {accounts.value(r, id).toInt(), accounts.value(r, centreText).toString(),
                accounts.value(r, account).toString()});
    sg->setCurrentCell(JE.AccountNumber, 1);
    setFirstInput(dtpJournalEntryDate);
    m_startDate = dtpJournalEntryDate->date();
}

bool TfrmJournalEntry::isTouched() const
{
    if (!edtJournalEntryDescription->text().isEmpty() || dtpJournalEntryDate->date() != m_startDate)
        return true;
    for (const JournalLine& line : Lines())
        if (!line.accountNumber.isEmpty() || !line.description.isEmpty() || !line.amount.isEmpty())
            return true;
    return false;
}

void TfrmJournalEntry::reject()
{
    if (isTouched() && !askYesNo(QStringLiteral("Discard this journal entry?")))
        return;
    SetupEditDialog::reject();
}

void TfrmJournalEntry::sgSetEditText(QObject* Sender, int ACol, int ARow, const QString& Value)
{
    if (ACol == JE.AccountNumber)
        UpdateAccountDescriptions(Sender, ACol, ARow, Value);
    else if (ACol == JE.Amount)
        UpdateAmount(Sender, ACol, ARow, Value);
}

void TfrmJournalEntry::UpdateAccountDescriptions(QObject*, int, int ARow, const QString& Value)
{
    const AccountDescriptions shown = describeAccountNumber(Value, m_accounts);
    sg->setCell(JE.CostCentreDescription, ARow, shown.costCentre);
    sg->setCell(JE.AccountDescription, ARow, shown.account);
}

void TfrmJournalEntry::UpdateAmount(QObject*, int, int, const QString&)
{
    lblJournalTotal->setText(journalTotalCaption(Lines()));
    lblJournalTotal->adjustSize();
}

QList<JournalLine> TfrmJournalEntry::Lines() const
{
    QList<JournalLine> lines;
    lines.reserve(MaxJournalLines);
    for (int r = 1; r <= MaxJournalLines; ++r)
        lines.append(
            {sg->cell(JE.AccountNumber, r), sg->cell(JE.LineDescription, r), sg->cell(JE.Amount, r)});
    return lines;
}

bool TfrmJournalEntry::checkInput()
{
    // Without a period (the box emptied, a year without periods) no date can be in it.
    const int period = m_periodId = selectedId(frmMain->cbFinancialPeriod);
    if (period < 0)
        return refuse(dtpJournalEntryDate, periodMessage());
    Query& periods = *frmMain->qrFinancialPeriods;
    periods.open({QStringLiteral("SELECT * FROM `financial periods` where id = %1").arg(period)});
    const QDate date = dtpJournalEntryDate->date();
    if (periods.isEmpty() || date < periods.asDate(QStringLiteral("start date"))
        || date > periods.asDate(QStringLiteral("end date")))
        return refuse(dtpJournalEntryDate, periodMessage());
    if (!ToetsText(edtJournalEntryDescription, 3, false, false, false))
        return false;
    const QList<JournalLine> lines = Lines();
    if (const auto problem = checkJournalLines(lines, m_accounts)) {
        Boodskap(problem->message, false);
        sg->setCurrentCell(problem->column, problem->row);
        sg->setFocus(Qt::OtherFocusReason);
        return false;
    }
    if (journalTotal(lines) != Money()) {
        Boodskap(QStringLiteral("Journal total not 0."), false);
        return false;
    }
    return true;
}

namespace {
// The number after `last`, which the number column must still hold.
int numberAfter(qint64 last)
{
    constexpr qint64 highest = std::numeric_limits<qint32>::max();
    if (last >= highest)
        throw SaveRefused{nullptr,
            QStringLiteral(
                "The journal entry numbers of this company have reached %1, the highest number that "
                "can be stored.  No further journal entry can be numbered.")
                .arg(highest),
            {}};
    return int(last + 1);
}
}

int TfrmJournalEntry::nextJournalEntryNumber()
{
    const QString company = QString::number(m_companyId);
    // Every save of the company takes this lock first and holds it to its commit, so two
    // saves are numbered one after the other. The reads below lock too, so they see the
    // newest committed rows rather than the transaction's first snapshot.
    qrTransactions->open(
        {QStringLiteral("SELECT id FROM companies WHERE (id = %1) FOR UPDATE").arg(company)});
    if (qrTransactions->isEmpty())
        throw DbError(QStringLiteral("The company no longer exists."));
    qrTransactions->open({QStringLiteral("SELECT `transaction number`"), QStringLiteral("FROM transactions"),
        QStringLiteral("WHERE"), QStringLiteral("(`company id` = %1)").arg(company),
        QStringLiteral(" and (`transaction type` = \"JE\")"),
        QStringLiteral("ORDER BY `transaction number` DESC"), QStringLiteral("LIMIT 1"),
        QStringLiteral("FOR UPDATE")});
    if (!qrTransactions->isEmpty())
        return numberAfter(qrTransactions->asString(QStringLiteral("transaction number")).toLongLong());
    // A company's first entry follows the number of its newest cost centre.
    Query& centres = *frmMain->qrCostCentres;
    centres.open({QStringLiteral("SELECT `cost centre number`"), QStringLiteral("FROM `cost centres`"),
        QStringLiteral("WHERE"), QStringLiteral("(`company id` = %1)").arg(company),
        QStringLiteral("ORDER BY `id` DESC"), QStringLiteral("LIMIT 1"), QStringLiteral("FOR UPDATE")});
    if (!centres.isEmpty())
        return numberAfter(centres.asString(QStringLiteral("cost centre number")).toLongLong());
    return 1;
}

void TfrmJournalEntry::Save()
{
    const QList<JournalLine> lines = Lines();
    const qsizetype count = typedLineCount(lines);
    int transactionId = 0;
    // Asked when the reply to COMMIT is lost: the entry is in or it is not.
    auto stored = [&] {
        if (transactionId <= 0)
            return false;
        Query check;
        check.open({QStringLiteral("SELECT id FROM transactions WHERE id = %1").arg(transactionId)});
        return !check.isEmpty();
    };
    const bool saved = SaveResult::Saved
        == saveInTransaction(
            [&](Transaction&) {
                transactionId = 0;
                const int number = nextJournalEntryNumber();
                // Another user may have closed the period since the window opened; read
                // under lock, a close waits for this save or this save sees the close.
                Query period;
                period.open(
                    {QStringLiteral("SELECT `period open` FROM `financial periods` WHERE id = %1 FOR UPDATE")
                            .arg(m_periodId)});
                if (period.isEmpty()
                    || period.asString(QStringLiteral("period open")) != QLatin1String("Yes"))
                    throw SaveRefused{nullptr, PeriodNotOpen, {}};
                transactionId
                    = RowWriter(QStringLiteral("transactions"))
                          .set(QStringLiteral("transaction number"), number)
                          .set(QStringLiteral("company id"), m_companyId)
                          .set(QStringLiteral("transaction type"), QStringLiteral("JE"))
                          .set(QStringLiteral("posted"), QStringLiteral("No"))
                          .set(QStringLiteral("created by"), frmMain->UserID)
                          .set(QStringLiteral("transaction date"), dtpJournalEntryDate->date())
                          .set(QStringLiteral("transaction description"), edtJournalEntryDescription->text())
                          .set(QStringLiteral("save key"), m_saveKey)
                          .insert();
                QList<RowWriter> details;
                for (int row = 1; row <= count; ++row) {
                    const JournalLine& line = lines[row - 1];
                    details << RowWriter(QStringLiteral("transaction details"))
                                   .set(QStringLiteral("transaction id"), transactionId)
                                   .set(QStringLiteral("line nr"), row)
                                   .set(QStringLiteral("account id"), m_accounts.find(line.accountNumber)->id)
                                   .set(QStringLiteral("line description"), line.description)
                                   .set(QStringLiteral("amount"), Money::parse(line.amount)->toDbString())
                                   .set(QStringLiteral("deleted"), QStringLiteral("No"));
                }
                RowWriter::insertAll(details);
            },
            stored, QStringLiteral("Journal entry could not be saved.  Please try again."));
    if (saved)
        accept();
}
