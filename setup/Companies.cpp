#include "setup/Companies.h"

#include "context/UserCompanies.h"
#include "db/Query.h"
#include "setup/Company.h"
#include "standard/LabeledEdit.h"

namespace {
ListWindowDesign companiesDesign(Query* list)
{
    ListWindowDesign d;
    d.name = QStringLiteral("frmCompanies");
    d.caption = QStringLiteral("Setup -> Companies");
    d.clientSize = {634, 393};
    d.newButton = {QStringLiteral("btnNewCompany"), QStringLiteral("New Company")};
    d.editButton = {QStringLiteral("btnEditCompany"), QStringLiteral("Edit Company")};
    d.gridName = QStringLiteral("dbgCompanies");
    d.gridRect = {181, 24, 445, 361};
    d.columns = {{QStringLiteral("company name"), QStringLiteral("Company Name"), 381}};
    d.listQuery = list;
    d.emptyName = QStringLiteral("lblNowCompaniesExist");
    d.emptyText = QStringLiteral("~ No companies exist ~");
    d.helpLeft = 605;
    d.helpPath = QStringLiteral("/blog/companies");
    d.verse.box = {8, 248, 166, 137};
    d.verse.reference = QStringLiteral("1 Chronicles 4:10");
    d.verse.path = QStringLiteral("/1_chronicles/4-10.htm");
    // World English Bible: a translation whose wording fits the room in the setup windows'
    // common verse font.
    d.verse.text = QStringLiteral(
        "Jabez called on the God of Israel, saying, \u201COh that you would bless me indeed, and "
        "enlarge my border! May your hand be with me, and may you keep me from evil, that I may not "
        "cause pain!\u201D God granted him that which he requested.");
    d.verse.textSize = {155, 91};
    return d;
}
}

TfrmCompanies::TfrmCompanies(const BookContext& books, Query* list, QWidget* parent)
    : ListWindow(companiesDesign(list), parent), btnNewCompany(newButton()), btnEditCompany(editButton()),
      dbgCompanies(grid()), lblNowCompaniesExist(emptyLabel()), lblHelp(helpLink()), gbBibleVerse(verseBox()),
      lblBibleVerseLink(verseLink()), lblVerse(verseLabel()), m_books(books)
{
    FormCreate();
}

void TfrmCompanies::Load(bool OnCreateForm)
{
    loadList(userCompaniesSql(m_books.session.userId()), OnCreateForm);
}

void TfrmCompanies::btnNewCompanyClick()
{
    TfrmCompany dialog(this);
    dialog.exec();
}

void TfrmCompanies::btnEditCompanyClick()
{
    if (!hasSelectedRow(QStringLiteral("First create a company.")))
        return;
    TfrmCompany dialog(this);
    dialog.setWindowTitle(TfrmCompany::EditCaption);
    dialog.edtCompanyName->setText(listQuery()->asString(QStringLiteral("company name")));
    dialog.exec();
}

void openCompanies(const BookContext& books, Query* list, QWidget* parent)
{
    TfrmCompanies window(books, list, parent);
    window.exec();
}
