#include "journal/JournalEntry.h"

#include "context/BookSelection.h"
#include "context/PeriodStore.h"
#include "db/DbError.h"
#include "db/Transaction.h"
#include "journal/AccountPicker.h"
#include "journal/JournalColumns.h"
#include "journal/JournalStore.h"
#include "setup/AccountStore.h"
#include "standard/DatePicker.h"
#include "standard/LabeledEdit.h"
#include "standard/Standard.h"
#include "standard/StringGrid.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QSettings>
#include <limits>

namespace {
EditDialogDesign journalEntryDesign()
{
    EditDialogDesign d;
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

TfrmJournalEntry::TfrmJournalEntry(const BookContext& books, QWidget* parent)
    : EditDialog(journalEntryDesign(), QString(), parent), gbJournalEntryDetails(group()),
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
      btnOK(okButton()), m_books(books), m_picker(new AccountPicker(this))
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
    setSaveKeyLookup([this] { return JournalStore::savedUnderKey(m_saveKey); });
    connectGuarded(sg, &StringGrid::cellEdited, this,
        [this](int col, int row, const QString& text) { sgSetEditText(sg, col, row, text); });
    connect(sg, &StringGrid::editorOpened, this, [this](QLineEdit* editor, int col, int row) {
        if (col != JE.AccountNumber)
            return;
        m_editor = editor;
        m_editorRow = row;
        editor->installEventFilter(this);
    });
    sg->installEventFilter(this);
    connectGuarded(
        m_picker, &AccountPicker::chosen, this, [this](const QString& number) { takeAccount(number); });
    FormCreate(this);
    // More lines in sight for a user who makes the window larger; it keeps that size.
    m_designSize = size();
    for (QWidget* w : {static_cast<QWidget*>(gbJournalEntryLines), static_cast<QWidget*>(sg),
             static_cast<QWidget*>(lblJournalTotal), static_cast<QWidget*>(btnOK)})
        m_designGeometry.insert(w, w->geometry());
    setMinimumSize(m_designSize);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    setWindowFlag(Qt::MSWindowsFixedSizeDialogHint, false);
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    setSizeGripEnabled(true);
    const QSize kept = QSettings().value(QStringLiteral("frmJournalEntry/size")).toSize();
    if (kept.isValid())
        resize(kept.expandedTo(m_designSize));
}

void TfrmJournalEntry::FormCreate(QObject*)
{
    EditDialog::FormCreate();
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
    m_companyId = m_books.selection.companyId().value_or(-1);
    m_accounts.clear();
    QList<PickableAccount> pickable;
    for (const AccountRow& a : AccountStore::ofCompany(m_companyId)) {
        m_accounts.add(
            {a.costCentreNumber, a.objectNumber}, {a.id, a.costCentreDescription, a.accountDescription});
        pickable.append({QStringLiteral("%1.%2").arg(a.costCentreNumber).arg(a.objectNumber),
            a.costCentreDescription, a.accountDescription});
    }
    m_picker->setAccounts(pickable);
    // Today when it is in the selected period, else the period's first day: a date outside
    // the period would only be refused on OK.
    if (const std::optional<SelectedPeriod> period = m_books.selection.period())
        dtpJournalEntryDate->setDate(newEntryDate(Today(), period->start, period->end));
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
    EditDialog::reject();
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
    // A name (anything but a number) looks the account up by its descriptions.
    if (AccountPicker::asksForPicker(Value))
        m_picker->offer(m_editor && m_editorRow == ARow ? m_editor.data() : nullptr, Value);
    else if (m_picker->isShown())
        m_picker->hide();
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
    const int period = m_periodId = m_books.selection.periodId();
    if (period < 0)
        return refuse(dtpJournalEntryDate, periodMessage());
    // Read afresh: another user may have changed the period's dates since it was chosen.
    const std::optional<StoredPeriod> dates = PeriodStore::byId(period);
    const QDate date = dtpJournalEntryDate->date();
    if (!dates || date < dates->start || date > dates->end)
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

int TfrmJournalEntry::nextJournalEntryNumber(JournalChainTail& tail)
{
    tail = JournalStore::lastNumberForUpdate(m_companyId);
    if (const std::optional<int> next = journalNumberAfter(tail.lastNumber))
        return *next;
    throw SaveRefused{nullptr, journalNumbersExhausted(), {}};
}

void TfrmJournalEntry::Save()
{
    const QList<JournalLine> lines = Lines();
    const qsizetype count = typedLineCount(lines);
    NewJournalEntry entry{0, m_companyId, m_books.session.userId(), dtpJournalEntryDate->date(),
        edtJournalEntryDescription->text(), m_saveKey, {}};
    for (qsizetype row = 0; row < count; ++row)
        entry.lines.append({m_accounts.find(lines[row].accountNumber)->id, lines[row].description,
            Money::parse(lines[row].amount)->toDbString()});
    int transactionId = 0;
    // Asked when the reply to COMMIT is lost: the entry is in or it is not.
    auto stored = [&] { return transactionId > 0 && JournalStore::exists(transactionId); };
    const bool saved = SaveResult::Saved
        == saveInTransaction(
            [&](Transaction&) {
                transactionId = 0;
                JournalChainTail tail;
                entry.number = nextJournalEntryNumber(tail);
                // Another user may have closed the period since the window opened; read
                // under lock, a close waits for this save or this save sees the close.
                if (PeriodStore::openFlagForUpdate(m_periodId).value_or(QString()) != QLatin1String("Yes"))
                    throw SaveRefused{nullptr, PeriodNotOpen, {}};
                transactionId = JournalStore::insert(entry, tail);
            },
            stored, QStringLiteral("Journal entry could not be saved.  Please try again."));
    if (saved)
        accept();
}

void TfrmJournalEntry::fill(const JournalDraft& draft)
{
    edtJournalEntryDescription->setText(draft.description);
    sg->beginUpdate();
    for (int r = 1; r <= MaxJournalLines; ++r) {
        const JournalLine line = r <= draft.lines.size() ? draft.lines[r - 1] : JournalLine{};
        sg->setCell(JE.AccountNumber, r, line.accountNumber);
        sg->setCell(JE.LineDescription, r, line.description);
        sg->setCell(JE.Amount, r, line.amount);
        const AccountDescriptions shown = describeAccountNumber(line.accountNumber, m_accounts);
        sg->setCell(JE.CostCentreDescription, r, shown.costCentre);
        sg->setCell(JE.AccountDescription, r, shown.account);
    }
    sg->endUpdate();
    UpdateAmount(sg, JE.Amount, 1, QString());
}

bool TfrmJournalEntry::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && (watched == sg || watched == m_editor.data())) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool asks = key->key() == Qt::Key_F4
            || (key->key() == Qt::Key_Down && (key->modifiers() & Qt::AltModifier));
        if (asks && sg->currentColumn() == JE.AccountNumber) {
            offerAccounts();
            return true;
        }
    }
    return EditDialog::eventFilter(watched, event);
}

void TfrmJournalEntry::offerAccounts()
{
    const int row = sg->currentRow();
    if (!m_editor || m_editorRow != row) {
        if (!sg->isEditing())
            sg->edit(sg->currentIndex());
        if (!m_editor || m_editorRow != row)
            return;
    }
    m_picker->offer(m_editor, m_editor->text());
}

void TfrmJournalEntry::takeAccount(const QString& number)
{
    const int row = m_editor ? m_editorRow : sg->currentRow();
    if (m_editor)
        m_editor->setText(number);
    sg->setCell(JE.AccountNumber, row, number);
    UpdateAccountDescriptions(sg, JE.AccountNumber, row, number);
}

void TfrmJournalEntry::resizeEvent(QResizeEvent* event)
{
    EditDialog::resizeEvent(event);
    if (!m_designSize.isValid())
        return;
    // The lines' group, its grid, the total under it and OK follow the window's corner.
    const QSize grown = size() - m_designSize;
    const QPoint shift(grown.width(), grown.height());
    for (QWidget* w : {static_cast<QWidget*>(gbJournalEntryLines), static_cast<QWidget*>(sg)})
        w->resize(m_designGeometry.value(w).size() + grown);
    for (QWidget* w : {static_cast<QWidget*>(lblJournalTotal), static_cast<QWidget*>(btnOK)})
        w->move(m_designGeometry.value(w).topLeft() + shift);
}

void TfrmJournalEntry::done(int result)
{
    // Written only when changed: each write rewrites the settings file under a lock, which
    // cost every save a few milliseconds.
    QSettings settings;
    if (settings.value(QStringLiteral("frmJournalEntry/size")).toSize() != size())
        settings.setValue(QStringLiteral("frmJournalEntry/size"), size());
    EditDialog::done(result);
}
