#include "setup/Accounts.h"

#include "context/BookSelection.h"
#include "db/Query.h"
#include "setup/Account.h"
#include "setup/AccountStore.h"
#include "standard/LabeledEdit.h"
#include "standard/Standard.h"
#include "standard/StringGrid.h"
#include "trialbalance/TrialBalanceColumns.h"

#include <QComboBox>

namespace {
ListWindowDesign accountsDesign(Query* list)
{
    ListWindowDesign d;
    d.name = QStringLiteral("frmAccounts");
    d.caption = QStringLiteral("Accounts");
    d.clientSize = {882, 392};
    d.newButton = {QStringLiteral("btnNewAccount"), QStringLiteral("New Account")};
    d.editButton = {QStringLiteral("btnEditAccount"), QStringLiteral("Edit Account")};
    d.gridName = QStringLiteral("dbgAccounts");
    d.gridRect = {181, 23, 693, 361};
    d.columns = {{QStringLiteral("company name"), QStringLiteral("Company Name"), 109},
        {QStringLiteral("cost centre number"), QStringLiteral("Cost Centre Number")},
        {QStringLiteral("object number"), QStringLiteral("Object Number"), 93},
        {QStringLiteral("cost centre description"), QStringLiteral("Cost Centre Description"), 129},
        {QStringLiteral("object description"), QStringLiteral("Object Description"), 103},
        {QStringLiteral("account description"), QStringLiteral("Account Description"), 141}};
    d.listQuery = list;
    d.emptyName = QStringLiteral("lblNoAccountExistForThisObject");
    d.emptyText = QStringLiteral("~ No accounts exist for this object ~");
    d.helpLeft = 853;
    d.helpPath = QStringLiteral("/blog/accounts");
    d.verse.box = {8, 248, 166, 137};
    d.verse.reference = QStringLiteral("1 Chronicles 4:10");
    d.verse.path = QStringLiteral("/1_chronicles/4-10.htm");
    // King James Version.
    d.verse.text = QStringLiteral(
        "And Jabez called on the God of Israel, saying, Oh that thou wouldest bless me indeed, and "
        "enlarge my coast, and that thine hand might be with me, and that thou wouldest keep me from "
        "evil, that it may not grieve me! And God granted him that which he requested.");
    d.verse.textSize = {155, 91};
    // Nothing is stored when the window closes; widths stored earlier still apply.
    d.keepColumnWidths = false;
    return d;
}
}

int TfrmAccounts::objectId() const { return AccountStore::objectIdOfNumber(m_object.number).value_or(-1); }

TfrmAccounts::TfrmAccounts(
    const BookContext& books, Query* list, const TrialBalanceObject& object, QWidget* parent)
    : ListWindow(accountsDesign(list), parent), btnNewAccount(newButton()), btnEditAccount(editButton()),
      dbgAccounts(grid()), lblNoAccountExistForThisObject(emptyLabel()), lblHelp(helpLink()),
      gbBibleVerse(verseBox()), lblBibleVerseLink(verseLink()), lblVerse(verseLabel()), m_books(books),
      m_object(object)
{
    FormCreate();
}

void TfrmAccounts::Load(bool OnCreateForm)
{
    loadList(AccountStore::listOf(objectId(), m_books.selection.companyId().value()), OnCreateForm);
}

void TfrmAccounts::btnNewAccountClick()
{
    TfrmAccount dialog(this);
    dialog.exec();
}

void TfrmAccounts::btnEditAccountClick()
{
    if (!hasSelectedRow(QStringLiteral("Please select an account.")))
        return;
    const Query* list = listQuery();
    TfrmAccount dialog(this);
    dialog.setWindowTitle(TfrmAccount::EditCaption);
    // Descriptions are unique within the company (letter case ignored), so the account's
    // cost centre is the entry of that description; its id names it exactly.
    selectId(dialog.cbCostCentre, list->asInteger(QStringLiteral("cost centre id")));
    dialog.edtAccountDescription->setText(list->asString(QStringLiteral("account description")));
    dialog.exec();
}

TrialBalanceObject trialBalanceObjectAt(const StringGrid& trialBalance)
{
    const int row = trialBalance.currentRow();
    // The cell holds the number as the database gave it; it is written back as a number.
    return {trialBalance.cell(TB.ObjectNumber, row).toInt(), trialBalance.cell(TB.ObjectDescription, row)};
}

bool openAccounts(const BookContext& books, Query* list, const StringGrid& trialBalance, QWidget* parent)
{
    if (!books.selection.companyId()) {
        Boodskap(QStringLiteral("Please select/create a spesific company first."), false);
        return false;
    }
    const int row = trialBalance.currentRow();
    // Only an object marked for accounts, and its account rows, read exactly "Yes".
    if (trialBalance.cell(TB.UseForAccount, row) != QLatin1String("Yes")) {
        Boodskap(QStringLiteral("Select an object that can be used for an account."), false);
        return false;
    }
    if (!books.session.TestAccess(QStringLiteral("trial balance"), QStringLiteral("create"))) {
        Boodskap(
            QStringLiteral("You must have \"create\" access to the trial balance on this company to access "
                           "this function."),
            false);
        return false;
    }
    TfrmAccounts window(books, list, trialBalanceObjectAt(trialBalance), parent);
    window.exec();
    return true;
}
