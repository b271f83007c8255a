#include "journal/JournalLogic.h"

#include "journal/JournalColumns.h"
#include "standard/Dates.h"
#include "standard/TextChecks.h"
#include <limits>

namespace {
std::optional<qint32> readWhole(const QString& text)
{
    // The program's one test of a whole 32-bit number: sign and ASCII digits only.
    if (!ToetsGetal(text, true, true))
        return std::nullopt;
    return text.toInt();
}

QString lineMessage(const char* what, int row)
{
    return QString::fromLatin1(what) + QString::number(row) + QLatin1Char('.');
}
}

std::optional<AccountNumber> readAccountNumber(const QString& text)
{
    const qsizetype point = text.indexOf(QLatin1Char('.'));
    if (point < 0)
        return std::nullopt;
    const auto costCentre = readWhole(text.left(point));
    const auto object = readWhole(text.mid(point + 1));
    if (!costCentre || !object)
        return std::nullopt;
    return AccountNumber{*costCentre, *object};
}

quint64 AccountLookup::key(const AccountNumber& n)
{
    return (quint64(quint32(n.costCentre)) << 32) | quint32(n.object);
}

void AccountLookup::add(const AccountNumber& number, const JournalAccount& account)
{
    m_accounts.insert(key(number), account);
}

const JournalAccount* AccountLookup::find(const AccountNumber& number) const
{
    const auto it = m_accounts.constFind(key(number));
    return it == m_accounts.cend() ? nullptr : &it.value();
}

const JournalAccount* AccountLookup::find(const QString& text) const
{
    const auto number = readAccountNumber(text);
    return number ? find(*number) : nullptr;
}

AccountDescriptions describeAccountNumber(const QString& text, const AccountLookup& accounts)
{
    if (text.isEmpty())
        return {};
    const auto number = readAccountNumber(text);
    if (!number)
        return {QStringLiteral("Account Number invalid"), {}};
    if (const JournalAccount* account = accounts.find(*number))
        return {account->costCentreDescription, account->accountDescription};
    return {QStringLiteral("Account Not Found"), {}};
}

std::optional<Money> journalTotal(const QList<JournalLine>& lines)
{
    Money total;
    try {
        for (const JournalLine& line : lines) {
            if (line.amount.isEmpty())
                continue;
            const auto amount = Money::parse(line.amount);
            if (!amount)
                return std::nullopt;
            total += *amount;
        }
    } catch (const MoneyOverflow&) {
        return std::nullopt;
    }
    return total;
}

QString journalTotalCaption(const QList<JournalLine>& lines)
{
    const auto total = journalTotal(lines);
    return QStringLiteral("Journal Total: ")
        + (total ? total->toString() : QStringLiteral("[Amounts not correct]"));
}

qsizetype typedLineCount(const QList<JournalLine>& lines)
{
    qsizetype count = std::min<qsizetype>(lines.size(), MaxJournalLines);
    while (count > 0 && lines[count - 1].isEmpty())
        --count;
    return count;
}

std::optional<LineProblem> checkJournalLines(const QList<JournalLine>& lines, const AccountLookup& accounts)
{
    // At least row 1 is examined, so an entry without lines is reported for line 1.
    const qsizetype last = std::max<qsizetype>(typedLineCount(lines), 1);
    for (int row = 1; row <= last; ++row) {
        const JournalLine line = row <= lines.size() ? lines[row - 1] : JournalLine{};
        if (line.accountNumber.isEmpty())
            return LineProblem{
                lineMessage("Account number not specified on line nr ", row), JE.AccountNumber, row};
        const auto number = readAccountNumber(line.accountNumber);
        if (!number)
            return LineProblem{
                lineMessage("Account number format not correct on line nr ", row), JE.AccountNumber, row};
        if (!accounts.find(*number))
            return LineProblem{lineMessage("Account not found on line nr ", row), JE.AccountNumber, row};
        if (const auto fault = lineDescriptionFault(line.description))
            return LineProblem{fault->left(fault->size() - 1) + QStringLiteral(" on line nr %1.").arg(row),
                JE.LineDescription, row};
        if (!isJournalAmount(line.amount))
            return LineProblem{lineMessage("Amount not correct on line nr ", row), JE.Amount, row};
    }
    return std::nullopt;
}

std::optional<QString> lineDescriptionFault(const QString& description)
{
    if (!ToetsText(description, 3, false, false, false))
        return QStringLiteral("Line description not specified.");
    if (description.toUcs4().size() > MaxTextColumnCharacters)
        return QStringLiteral("Line description longer than %1 characters.").arg(MaxTextColumnCharacters);
    return std::nullopt;
}

bool isJournalAmount(const QString& text)
{
    static const Money largest = Money::fromInt(900000000);
    return !ToetsGeld(text, false, true, largest).isEmpty();
}

QStringList journalEntriesSql(const std::optional<JournalPeriod>& period, const QStringList& companyCondition)
{
    // The debit and credit sums are the entry's row of `entry sums`, which the database keeps
    // equal to the sums of its lines' positive and negative amounts: grouping every line of a
    // busy month on each refresh took most of the list's time. An entry without lines is not
    // listed.
    QStringList sql{QStringLiteral("SELECT"), QStringLiteral("`company name`,"),
        QStringLiteral("CONCAT(\"JE \", `transaction number`) as `transaction number`,"),
        QStringLiteral("`transaction date`,"), QStringLiteral("`transaction description`,"),
        QStringLiteral("posted,"),
        QStringLiteral("(SELECT user_login FROM wp_users WHERE ID = `created by`) as `created by`,"),
        QStringLiteral("(SELECT user_login FROM wp_users WHERE ID = `edited by`) as `edited by`,"),
        QStringLiteral("(SELECT user_login FROM wp_users WHERE ID = `posted by`) as `posted by`,"),
        QStringLiteral("`entry sums`.`debit amount`,"), QStringLiteral("`entry sums`.`credit amount`"),
        QStringLiteral("FROM"), QStringLiteral("companies, transactions, `entry sums`"),
        QStringLiteral("WHERE"), QStringLiteral("(transactions.`company id` = companies.id)"),
        QStringLiteral("and (`entry sums`.`transaction id` = transactions.id)"),
        QStringLiteral("and (`line count` > 0)")};
    if (period) {
        sql << QStringLiteral(" and (`transaction date` >= %1)").arg(sqlDateLiteral(period->first))
            << QStringLiteral(" and (`transaction date` <= %1)").arg(sqlDateLiteral(period->last));
    } else {
        sql << QStringLiteral("and (`company id` = -1)");
    }
    sql << companyCondition;
    // One row per entry, so under "All" two companies' entries with the same number stay
    // apart. The rows are in the order of the shown text ("JE 10" before "JE 2"), company
    // by company where two share a number.
    sql << QStringLiteral("ORDER BY `transaction number`, `company name`");
    return sql;
}

std::optional<int> journalNumberAfter(qint64 last)
{
    constexpr qint64 highest = std::numeric_limits<qint32>::max();
    if (last >= highest)
        return std::nullopt;
    return int(last + 1);
}

QString journalNumbersExhausted()
{
    return QStringLiteral(
        "The journal entry numbers of this company have reached %1, the highest number that can be "
        "stored.  No further journal entry can be numbered.")
        .arg(std::numeric_limits<qint32>::max());
}

namespace {
QList<JournalLine> draftLines(const QList<JournalSourceLine>& lines, bool negate)
{
    QList<JournalLine> result;
    for (const JournalSourceLine& line : lines)
        result.append(
            {line.accountNumber, line.description, (negate ? -line.amount : line.amount).toString()});
    return result;
}
}

JournalDraft reversalDraft(
    qint64 number, const QString& description, const QList<JournalSourceLine>& lines, int descriptionLimit)
{
    QString text = QStringLiteral("Reversal of JE %1: ").arg(number) + description;
    if (text.size() > descriptionLimit) {
        text.truncate(descriptionLimit);
        // Never half a character outside the basic plane.
        if (!text.isEmpty() && text.back().isHighSurrogate())
            text.chop(1);
        // A cut between words leaves no blank at the end, which the box would refuse.
        while (!text.isEmpty() && text.back().isSpace())
            text.chop(1);
    }
    return {text, draftLines(lines, true)};
}

JournalDraft copyDraft(const QString& description, const QList<JournalSourceLine>& lines)
{
    return {description, draftLines(lines, false)};
}

QDate newEntryDate(const QDate& today, const QDate& periodStart, const QDate& periodEnd)
{
    return today >= periodStart && today <= periodEnd ? today : periodStart;
}
