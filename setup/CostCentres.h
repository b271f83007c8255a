#pragma once
#include "context/Session.h"
#include "standard/ListWindow.h"

class Query;
class QGroupBox;
class QLabel;
class QPushButton;
class LinkLabel;

// "Cost Centres - <company>": the cost centres of the company selected in the filter bar,
// in number order. The list is the main window's qrCostCentres; its current row is the
// selected cost centre.
class TfrmCostCentres : public ListWindow {
    Q_OBJECT
public:
    TfrmCostCentres(const BookContext& books, Query* list, QWidget* parent = nullptr);
    const BookContext& books() const { return m_books; }

    void Load(bool OnCreateForm) override;
    void btnNewCostCentreClick();
    void btnEditCostCentreClick();

    QPushButton* const btnNewCostCentre;
    QPushButton* const btnEditCostCentre;
    DataGrid* const dbgCostCentres;
    QLabel* const lblNoCostCentresExistForCompany;
    LinkLabel* const lblHelp;
    QGroupBox* const gbBibleVerse;
    LinkLabel* const lblBibleVerseLink;
    QLabel* const lblVerse;

protected:
    void newClicked() override { btnNewCostCentreClick(); }
    void editClicked() override { btnEditCostCentreClick(); }

private:
    BookContext m_books;
};

// The cost centres window of the selected company, for its administrators; answers
// whether it was opened (and the books may have changed).
bool openCostCentres(const BookContext& books, Query* list, QWidget* parent);
