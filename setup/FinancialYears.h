#pragma once
#include "context/Session.h"
#include "standard/ListWindow.h"

class QGroupBox;
class QLabel;
class QPushButton;
class LinkLabel;

// "Setup -> Financial Years": the financial years of the company selected in the filter
// bar, in the order they were created. The list is the main window's qrFinancialYears;
// its current row is the selected year.
class TfrmFinancialYears : public ListWindow {
    Q_OBJECT
public:
    TfrmFinancialYears(const BookContext& books, Query* list, QWidget* parent = nullptr);

    void Load(bool OnCreateForm) override;
    void btnNewFinancialYearClick();
    void btnEditFinancialYearClick();

    QPushButton* const btnNewFinancialYear;
    QPushButton* const btnEditFinancialYear;
    DataGrid* const dbgFinancialYears;
    QLabel* const lblNoFinancialYearsExist;
    LinkLabel* const lblHelp;
    QGroupBox* const gbBibleVerse;
    LinkLabel* const lblBibleVerseLink;
    QLabel* const lblVerse;

protected:
    void newClicked() override { btnNewFinancialYearClick(); }
    void editClicked() override { btnEditFinancialYearClick(); }

private:
    BookContext m_books;
};

// The financial years window of the selected company, for its administrators; answers
// whether it was opened (and the books may have changed).
bool openFinancialYears(const BookContext& books, Query* list, QWidget* parent);
// The selected year's dialog, opened from the filter bar without the administrator test;
// answers whether it was opened.
bool editSelectedYear(const BookContext& books, QWidget* parent);
