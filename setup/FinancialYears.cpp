#include "setup/FinancialYears.h"

#include "context/BookSelection.h"
#include "context/BookStores.h"
#include "db/Query.h"
#include "setup/AdministratorWindow.h"
#include "setup/FinancialYear.h"
#include "standard/Standard.h"

#include <QComboBox>

namespace {
ListWindowDesign financialYearsDesign(Query* list)
{
    ListWindowDesign d;
    d.name = QStringLiteral("frmFinancialYears");
    d.caption = QStringLiteral("Setup -> Financial Years");
    d.clientSize = {713, 394};
    d.newButton = {QStringLiteral("btnNewFinancialYear"), QStringLiteral("New Financial Year")};
    d.editButton = {QStringLiteral("btnEditFinancialYear"), QStringLiteral("Edit Financial Year")};
    d.gridName = QStringLiteral("dbgFinancialYears");
    d.gridRect = {181, 24, 524, 361};
    d.columns = {{QStringLiteral("company name"), QStringLiteral("Company Name"), 165},
        {QStringLiteral("financial year description"), QStringLiteral("Financial Year Description"), 154},
        {QStringLiteral("last day of financial year"), QStringLiteral("Last day of financial year"), 154}};
    d.listQuery = list;
    d.emptyName = QStringLiteral("lblNoFinancialYearsExist");
    d.emptyText = QStringLiteral("~ No financial years exist ~");
    d.helpLeft = 684;
    d.helpPath = QStringLiteral("/blog/financial-years");
    d.verse.box = {8, 265, 166, 121};
    d.verse.reference = QStringLiteral("Psalm 90:10");
    d.verse.path = QStringLiteral("/psalms/90-10.htm");
    // King James Version.
    d.verse.text = QStringLiteral(
        "The days of our years are threescore years and ten; and if by reason of strength they be "
        "fourscore years, yet is their strength labour and sorrow; for it is soon cut off, and we fly away.");
    d.verse.textSize = {153, 78};
    return d;
}
}

TfrmFinancialYears::TfrmFinancialYears(const BookContext& books, Query* list, QWidget* parent)
    : ListWindow(financialYearsDesign(list), parent), btnNewFinancialYear(newButton()),
      btnEditFinancialYear(editButton()), dbgFinancialYears(grid()), lblNoFinancialYearsExist(emptyLabel()),
      lblHelp(helpLink()), gbBibleVerse(verseBox()), lblBibleVerseLink(verseLink()), lblVerse(verseLabel()),
      m_books(books)
{
    FormCreate();
}

void TfrmFinancialYears::Load(bool OnCreateForm)
{
    loadList(YearStore::listOf(m_books.selection.companyId().value()), OnCreateForm);
}

void TfrmFinancialYears::btnNewFinancialYearClick()
{
    TfrmFinancialYear dialog(this, this);
    dialog.CompanyID = m_books.selection.companyId().value();
    dialog.exec();
}

void TfrmFinancialYears::btnEditFinancialYearClick()
{
    if (!hasSelectedRow(QStringLiteral("First select a financial year.")))
        return;
    TfrmFinancialYear dialog(this, this);
    dialog.setWindowTitle(TfrmFinancialYear::EditCaption);
    dialog.FinancialYearID = listQuery()->asInteger(QStringLiteral("id"));
    dialog.LoadEdit();
    dialog.exec();
}

bool openFinancialYears(const BookContext& books, Query* list, QWidget* parent)
{
    return openAdministratorWindow<TfrmFinancialYears>(books, list, parent);
}

bool editSelectedYear(const BookContext& books, QWidget* parent)
{
    if (books.selection.yearId() < 0) {
        Boodskap(QStringLiteral("Please select a financial year first."), false);
        return false;
    }
    TfrmFinancialYear dialog(parent, nullptr);
    dialog.setWindowTitle(TfrmFinancialYear::EditCaption);
    dialog.FinancialYearID = books.selection.yearId();
    dialog.LoadEdit();
    dialog.exec();
    return true;
}
