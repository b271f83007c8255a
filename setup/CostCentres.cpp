#include "setup/CostCentres.h"

#include "context/BookSelection.h"
#include "db/Query.h"
#include "setup/AdministratorWindow.h"
#include "setup/CostCentre.h"
#include "setup/CostCentreStore.h"
#include "standard/LabeledEdit.h"
#include "standard/Standard.h"

#include <QComboBox>

namespace {
ListWindowDesign costCentresDesign(Query* list)
{
    ListWindowDesign d;
    d.name = QStringLiteral("frmCostCentres");
    d.caption = QStringLiteral("Setup -> Cost Centres");
    d.clientSize = {633, 393};
    d.newButton = {QStringLiteral("btnNewCostCentre"), QStringLiteral("New Cost Centre")};
    d.editButton = {QStringLiteral("btnEditCostCentre"), QStringLiteral("Edit Cost Centre")};
    d.gridName = QStringLiteral("dbgCostCentres");
    d.gridRect = {180, 24, 445, 361};
    d.columns = {{QStringLiteral("cost centre number"), QStringLiteral("Cost Centre Number"), 105},
        {QStringLiteral("cost centre description"), QStringLiteral("Cost Centre Description"), 270}};
    d.listQuery = list;
    d.emptyName = QStringLiteral("lblNoCostCentresExistForCompany");
    d.emptyText = QStringLiteral("~ No cost centres exist for company ~");
    d.helpLeft = 605;
    d.helpPath = QStringLiteral("/blog/cost-centres/");
    d.verse.box = {8, 280, 166, 105};
    d.verse.reference = QStringLiteral("Luke 14:28");
    d.verse.path = QStringLiteral("/luke/14-28.htm");
    // King James Version.
    d.verse.text = QStringLiteral(
        "For which of you, intending to build a tower, sitteth not down first, and counteth the "
        "cost, whether he have sufficient to finish it?");
    d.verse.textSize = {154, 65};
    return d;
}
}

TfrmCostCentres::TfrmCostCentres(const BookContext& books, Query* list, QWidget* parent)
    : ListWindow(costCentresDesign(list), parent), btnNewCostCentre(newButton()),
      btnEditCostCentre(editButton()), dbgCostCentres(grid()), lblNoCostCentresExistForCompany(emptyLabel()),
      lblHelp(helpLink()), gbBibleVerse(verseBox()), lblBibleVerseLink(verseLink()), lblVerse(verseLabel()),
      m_books(books)
{
    FormCreate();
}

void TfrmCostCentres::Load(bool OnCreateForm)
{
    loadList(CostCentreStore::listOf(m_books.selection.companyId().value()), OnCreateForm);
}

void TfrmCostCentres::btnNewCostCentreClick()
{
    TfrmCostCentre dialog(this);
    dialog.exec();
}

void TfrmCostCentres::btnEditCostCentreClick()
{
    if (!hasSelectedRow(QStringLiteral("No cost centre selected.")))
        return;
    const Query* list = listQuery();
    TfrmCostCentre dialog(this);
    dialog.setWindowTitle(TfrmCostCentre::EditCaption);
    dialog.edtCostCentreNumber->setText(list->asString(QStringLiteral("cost centre number")));
    dialog.edtCostCentreDescription->setText(list->asString(QStringLiteral("cost centre description")));
    dialog.exec();
}

bool openCostCentres(const BookContext& books, Query* list, QWidget* parent)
{
    return openAdministratorWindow<TfrmCostCentres>(books, list, parent, QStringLiteral("Cost Centres"));
}
