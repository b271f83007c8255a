#pragma once
// What the journal entry window decides without a widget or the database: reading an
// account number, looking it up among the company's accounts, the running total and the
// checks of the lines. The window and its tests call these directly.
#include "standard/Money.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// "cost centre number.object number", as users type it.
struct AccountNumber {
    qint32 costCentre = 0;
    qint32 object = 0;
    bool operator==(const AccountNumber&) const = default;
};

// Splits at the first "."; both sides must be whole signed 32-bit numbers, nothing else.
std::optional<AccountNumber> readAccountNumber(const QString& text);

struct JournalAccount {
    int id = 0;
    QString costCentreDescription;
    QString accountDescription;
};

// The selected company's accounts by number, loaded once when the window opens, so a
// keystroke's lookup is one hash probe.
class AccountLookup {
public:
    void clear() { m_accounts.clear(); }
    void add(const AccountNumber& number, const JournalAccount& account);
    const JournalAccount* find(const AccountNumber& number) const;
    const JournalAccount* find(const QString& text) const;
    qsizetype size() const { return m_accounts.size(); }

private:
    static quint64 key(const AccountNumber& n);
    QHash<quint64, JournalAccount> m_accounts;
};

// What a line's two description cells show for the account number typed on it.
struct AccountDescriptions {
    QString costCentre;
    QString account;
    bool operator==(const AccountDescriptions&) const = default;
};
AccountDescriptions describeAccountNumber(const QString& text, const AccountLookup& accounts);

// The three cells a user types on one line of the grid.
struct JournalLine {
    QString accountNumber;
    QString description;
    QString amount;
    bool isEmpty() const { return accountNumber.isEmpty() && description.isEmpty() && amount.isEmpty(); }
};

// The sum of the amounts typed (empty cells skipped); empty when one of them is not an
// amount in the locale's format.
std::optional<Money> journalTotal(const QList<JournalLine>& lines);
// "Journal Total: " and the total, or "Journal Total: [Amounts not correct]".
QString journalTotalCaption(const QList<JournalLine>& lines);

// The first fault of the lines (lines[0] is grid row 1): the message, and the grid
// column and row the cursor goes to. Rows after the last one typed play no part; an
// empty row before a typed one is a fault, and so is an entry without lines.
struct LineProblem {
    QString message;
    int column = 0;
    int row = 0;
};
inline constexpr int MaxJournalLines = 100;
std::optional<LineProblem> checkJournalLines(const QList<JournalLine>& lines, const AccountLookup& accounts);

// The rules of one line's description and amount, shared with the import: the fault of a
// line description (fewer than 3 characters, a control character, longer than its column),
// and whether amount text in the locale's format is one a line may hold (not zero, at most
// 900 000 000 either way, at most two decimals).
std::optional<QString> lineDescriptionFault(const QString& description);
bool isJournalAmount(const QString& text);
// The longest entry description the entry window's box takes and its column holds.
inline constexpr int MaxEntryDescriptionCharacters = 50;

// The lines up to the last one typed: the ones a checked entry stores, row 1 first.
qsizetype typedLineCount(const QList<JournalLine>& lines);

// The statement of the journal entries list: the entries of the period from `first` to
// `last` (no period: nothing), restricted by the company condition lines. One row per
// entry, so under "All" two companies' entries with the same number stay apart.
struct JournalPeriod {
    QDate first;
    QDate last;
};
QStringList journalEntriesSql(
    const std::optional<JournalPeriod>& period, const QStringList& companyCondition);

// The number after `last` when the number column can still hold it; empty once the
// company's numbers have reached the column's highest value.
std::optional<int> journalNumberAfter(qint64 last);
// The refusal when journalNumberAfter has no number left.
QString journalNumbersExhausted();

// What a new entry's window starts filled with: a description and lines as typed.
struct JournalDraft {
    QString description;
    QList<JournalLine> lines;
};
// The lines of an entry, each as the window shows and reads it.
struct JournalSourceLine {
    QString accountNumber;
    QString description;
    Money amount;
};
// A reversing entry of "JE <number>": the same accounts and line descriptions with every
// amount negated, described "Reversal of JE <number>: <description>" cut to
// `descriptionLimit` characters.
JournalDraft reversalDraft(
    qint64 number, const QString& description, const QList<JournalSourceLine>& lines, int descriptionLimit);
// A copy of an entry, for a recurring one: lines and description as they are.
JournalDraft copyDraft(const QString& description, const QList<JournalSourceLine>& lines);

// The date a new entry starts with: today when it lies in the period, else the period's
// first day (an entry dated outside the period is refused on OK).
QDate newEntryDate(const QDate& today, const QDate& periodStart, const QDate& periodEnd);
