#pragma once
#include "context/Session.h"
#include "standard/ListWindow.h"

class Query;
class QGroupBox;
class QLabel;
class QPushButton;
class LinkLabel;

// "Setup -> Companies": the companies the logged-in user may work with. The list is the
// main window's qrCompanies; its current row is the selected company.
class TfrmCompanies : public ListWindow {
    Q_OBJECT
public:
    TfrmCompanies(const BookContext& books, Query* list, QWidget* parent = nullptr);
    const BookContext& books() const { return m_books; }

    void Load(bool OnCreateForm) override;
    void btnNewCompanyClick();
    void btnEditCompanyClick();

    QPushButton* const btnNewCompany;
    QPushButton* const btnEditCompany;
    DataGrid* const dbgCompanies;
    QLabel* const lblNowCompaniesExist;
    LinkLabel* const lblHelp;
    QGroupBox* const gbBibleVerse;
    LinkLabel* const lblBibleVerseLink;
    QLabel* const lblVerse;

protected:
    void newClicked() override { btnNewCompanyClick(); }
    void editClicked() override { btnEditCompanyClick(); }

private:
    BookContext m_books;
};

// The companies window; the books may have changed when it closes.
void openCompanies(const BookContext& books, Query* list, QWidget* parent);
